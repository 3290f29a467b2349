// The crash helper runs with the crashed program's rights, so a program
// that runs with rights its caller lacks (set-user-id here) must not take
// the helper its caller names in XTBASIS_CRASH_HELPER.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "crash_child_run.h"
#include "second_account.h"

namespace {

namespace fs = std::filesystem;

class CrashHelperSetting : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to make a set-user-id program";
    fs::permissions(m_scratch.path(), fs::perms(0755));
    m_logs = m_scratch.path() / "logs";
    fs::create_directory(m_logs);
    fs::permissions(m_logs, fs::perms(0777));
    m_marker = m_logs / "planted-helper-ran";
    m_helper = m_scratch.path() / "planted-helper";
    std::ofstream(m_helper) << "#!/bin/sh\ntouch '" << m_marker.string() << "'\n";
    fs::permissions(m_helper, fs::perms(0755));
  }
  // Crashes `program` with the planted helper named; whether the helper ran.
  bool PlantedHelperRan(const std::string& program) const {
    const std::string command = "XTBASIS_CRASH_HELPER='" + m_helper.string() + "' '" + program + "' null '" +
                                m_logs.string() + "' >/dev/null 2>&1";
    std::system(command.c_str());
    return fs::exists(m_marker);
  }

  ScratchFolder m_scratch;
  fs::path m_logs, m_marker, m_helper;
};

TEST_F(CrashHelperSetting, ASetUserIdProgramRunsNoHelperItsCallerNamed) {
  // The account itself crashing the program: the setting counts.
  ASSERT_TRUE(AsNobody([&] { return PlantedHelperRan(XTB_CRASH_CHILD); }));
  fs::remove(m_marker);
  // Root crashing a program that runs as that account: it does not.
  const std::string raised = (m_scratch.path() / "raised").string();
  ASSERT_TRUE(SetUserIdCopyForNobody(XTB_CRASH_CHILD, raised));
  EXPECT_FALSE(PlantedHelperRan(raised));
}

}  // namespace
