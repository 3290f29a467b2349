// "xtbasis demo" as an ordinary user runs it: not root, with a home folder
// of its own, and with folders it may not write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "scratch_dir.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

constexpr int kNobody = 65534;

class DemoAsUser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "switching to another user needs root";
    if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "setpriv is missing";
    fs::permissions(m_scratch.Path(), fs::perms::others_exec, fs::perm_options::add);
    m_home = m_scratch.Path("home");
    fs::create_directory(m_home);
    ASSERT_EQ(chown(m_home.c_str(), kNobody, kNobody), 0);
    // Root-owned and closed to others: what an ordinary user cannot write.
    m_closed = m_scratch.Path("closed");
    fs::create_directory(m_closed);
    fs::permissions(m_closed, fs::perms::owner_all);
    // The build tree may lie in a folder closed to other accounts (a
    // checkout in root's home): nobody runs copies of the tool and the
    // library from the scratch folder instead.
    m_programs = m_scratch.Path("programs");
    fs::create_directory(m_programs);
    fs::copy_file(XTB_TOOL_PATH, m_programs + "/xtbasis");
    fs::copy_file(XTB_LIBRARY_PATH, m_programs + "/" + XTB_LIBRARY_SONAME);
  }

  // Runs the demo as nobody with a clean environment, HOME, a mail folder of
  // its own (endpoints other tests hold stay out of the way) and `extra`.
  ToolRun Demo(const std::string& extra = "") const {
    return RunProgramSplit(m_programs + "/xtbasis", "demo",
                           "env -i PATH=/usr/bin:/bin LANG=C HOME=" + m_home + " LD_LIBRARY_PATH=" + m_programs +
                               " XTBASIS_MAIL_DIR=" + m_home + "/mail " + extra,
                           "setpriv --reuid=" + std::to_string(kNobody) + " --regid=" + std::to_string(kNobody) +
                               " --clear-groups");
  }

  ScratchDir m_scratch;
  std::string m_home, m_closed, m_programs;
};

TEST_F(DemoAsUser, KeepsItsSettingsAndTraceInTheUsersOwnFolders) {
  const ToolRun run = Demo();
  EXPECT_EQ(run.status, 0) << run.output << run.errors;
  EXPECT_TRUE(run.errors.empty()) << run.errors;
  EXPECT_NE(run.output.find("stored TraceLevel=3 in HKCU\\SOFTWARE\\Vantorix\\XTDemo, read back: 3"), std::string::npos)
      << run.output;
  const std::string trace = m_home + "/.local/state/xtbasis/demo/r9trace.log";
  EXPECT_NE(ScratchDir::Read(trace).find("Demo gestartet"), std::string::npos);
  EXPECT_TRUE(fs::exists(m_home + "/.local/share/xtbasis/user.db"));
  EXPECT_NE(run.output.find("== Tooth list"), std::string::npos);
  EXPECT_NE(run.output.find("== Database dates corrected"), std::string::npos);
}

// The machine hive of a fresh machine holds no trace level for the demo:
// the level the demo hands over itself is the one that lets its record in.
TEST_F(DemoAsUser, TracesOnAMachineWhoseHiveHoldsNoLevel) {
  const std::string hives = m_home + "/hives";
  fs::create_directory(hives);
  ASSERT_EQ(chown(hives.c_str(), kNobody, kNobody), 0);
  const ToolRun run = Demo("XTBASIS_REGISTRY_DIR=" + hives);
  EXPECT_EQ(run.status, 0) << run.output << run.errors;
  EXPECT_NE(ScratchDir::Read(m_home + "/.local/state/xtbasis/demo/r9trace.log").find("Demo gestartet"),
            std::string::npos)
      << run.errors;
  EXPECT_TRUE(fs::exists(hives + "/user.db"));
}

TEST_F(DemoAsUser, NamesTheRealCauseWhenAFolderCannotBeWritten) {
  const ToolRun hive = Demo("XDG_DATA_HOME=" + m_closed);
  EXPECT_EQ(hive.status, 1);
  EXPECT_NE(hive.errors.find("xtbasis demo: the setting cannot be stored in " + m_closed + "/xtbasis/user.db: "),
            std::string::npos)
      << hive.errors;
  EXPECT_NE(hive.errors.find("Permission denied"), std::string::npos) << hive.errors;
  EXPECT_EQ(hive.errors.find("Success"), std::string::npos) << hive.errors;

  const ToolRun trace = Demo("XDG_STATE_HOME=" + m_closed);
  EXPECT_EQ(trace.status, 1);
  EXPECT_NE(trace.errors.find("xtbasis demo: the folder " + m_closed + "/xtbasis/demo/ cannot be created: "),
            std::string::npos)
      << trace.errors;
  EXPECT_NE(trace.errors.find("Permission denied"), std::string::npos) << trace.errors;
  // The other roads of the tour still run.
  EXPECT_NE(trace.output.find("== Tooth list"), std::string::npos);
}

}  // namespace
