// A program that runs with rights its caller lacks reads no setting from
// the caller's environment: a caller who plants XTBASIS_REGISTRY_DIR (or
// HOME, XDG_DATA_HOME) must not choose where it writes its user hive.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "second_account.h"

namespace {

namespace fs = std::filesystem;

class SecureEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to make a set-user-id program";
    char pattern[] = "/tmp/xtb-secure-env-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    fs::permissions(m_root, fs::perms(0755));
    m_planted = (m_root / "planted").string();
    MakePlanted();
  }
  // A folder of the program's account, which it would take for its hive if told to.
  void MakePlanted() const {
    ASSERT_EQ(mkdir(m_planted.c_str(), 0700), 0);
    ASSERT_EQ(chown(m_planted.c_str(), kNobody, kNobody), 0);
  }
  void TearDown() override {
    if (!m_root.empty()) fs::remove_all(m_root);
  }

  // Runs `program` writing a user value, with every folder setting planted.
  std::string WriteUserValue(const std::string& program) const {
    return "XTBASIS_REGISTRY_DIR=" + m_planted + " HOME=" + m_planted + " XDG_DATA_HOME=" + m_planted + " " +
           program + " reg set 'HKCU\\Software\\Planted' name value >/dev/null 2>&1";
  }
  bool PlantedIsEmpty() const { return fs::is_empty(m_planted); }

  fs::path m_root;
  std::string m_planted;
};

TEST_F(SecureEnvironment, ASetUserIdProgramIgnoresPlantedFolders) {
  // The account itself, running the program: the setting counts.
  ASSERT_TRUE(AsNobody([&] { return std::system(WriteUserValue(XTB_TOOL_PATH).c_str()) == 0; }));
  ASSERT_FALSE(PlantedIsEmpty());
  fs::remove_all(m_planted);
  MakePlanted();

  // Root running a program that becomes that account: it does not.
  const std::string raised = (m_root / "raised").string();
  ASSERT_TRUE(SetUserIdCopyForNobody(XTB_TOOL_PATH, raised));
  std::system(WriteUserValue(raised).c_str());
  EXPECT_TRUE(PlantedIsEmpty()) << "the set-user-id program wrote its hive where its caller said";
}

}  // namespace
