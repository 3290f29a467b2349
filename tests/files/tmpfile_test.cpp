#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include <xtbasis/filehelpers.h>
#include <xtbasis/tmpfile.h>

#include "delete_folder.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

size_t EntriesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class TmpFiles : public ::testing::Test {
 protected:
  void TearDown() override { CTmpFile::s_Prefix = "tmp"; }
  ScratchTempDir dir;
};

TEST_F(TmpFiles, NamesAndPrefixAndLifetime) {
  std::string created;
  {
    CTmpFile file(true);
    created = file.Create("abcdef").str();
    EXPECT_TRUE(std::regex_match(created, std::regex(dir.Path() + "abc[0-9A-F]{4}\\.TMP"))) << created;
    EXPECT_TRUE(fs::is_regular_file(created));
    EXPECT_EQ(fs::file_size(created), 0u);
    EXPECT_EQ(CTmpFile::s_Prefix, "abcdef");
    CTmpFile later(true);
    EXPECT_EQ(fs::path(later.Create().str()).filename().string().substr(0, 3), "abc");
  }
  EXPECT_FALSE(fs::exists(created));
  {
    CTmpFile kept(false);
    created = kept.Create("k").str();
  }
  EXPECT_TRUE(fs::exists(created));
  EXPECT_EQ(fs::path(created).filename().string().size(), 9u);  // "k" + 4 digits + ".TMP"
}

TEST_F(TmpFiles, FolderWithProtectedContentIsRemovedWhole) {
  std::string folder;
  {
    CTmpDir tmp;
    folder = tmp.Create("dir").str();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    ASSERT_TRUE(fs::is_directory(folder));
    dir.Write(folder.substr(dir.Path().size()) + "readonly.txt", "x");
    chmod((folder + "readonly.txt").c_str(), 0444);
    fs::create_directories(folder + "sub/deeper");
    dir.Write(folder.substr(dir.Path().size()) + "sub/deeper/f", "y");
    chmod((folder + "sub/deeper").c_str(), 0555);  // its entries cannot go until it is writable
    chmod((folder + "sub").c_str(), 0555);
  }
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

TEST_F(TmpFiles, DeleteFolderResults) {
  EXPECT_TRUE(xtb::files::DeleteFolder(dir.Path("never-there").c_str()));
  fs::create_directories(dir.Path("a/b"));
  dir.Write("a/b/c", "z");
  EXPECT_TRUE(xtb::files::DeleteFolder(dir.Path("a/").c_str()));
  EXPECT_FALSE(fs::exists(dir.Path("a")));
}

TEST_F(TmpFiles, FailuresGiveEmptyPaths) {
  dir.SysBase().TempDir = dir.Path("no/such/folder").c_str();
  CTmpFile file(true);
  EXPECT_EQ(file.Create("x"), "");
  CTmpDir folder;
  EXPECT_EQ(folder.Create("x"), "");
  CString path = "stale";
  GetTempFilePath(path, "abc");
  EXPECT_EQ(path, "");
}

// Without a system base object the environment's temporary folder serves.
TEST_F(TmpFiles, WithoutSystemBaseTheEnvironmentDecides) {
  CXTSysBase* const own = gp_XTSysBase;
  gp_XTSysBase = nullptr;
  const std::string fallback = dir.Path("fallback");
  fs::create_directory(fallback);
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  setenv("TMPDIR", fallback.c_str(), 1);
  CTmpFile file(true);
  const std::string path = file.Create("env").str();
  if (old != nullptr) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
  gp_XTSysBase = own;
  EXPECT_EQ(path.substr(0, fallback.size() + 1), fallback + "/");
}

// Two processes drawing names with the same prefix at once never share one.
TEST_F(TmpFiles, TwoProcessesNeverClash) {
  constexpr int kPerProcess = 400;
  pid_t children[2];
  for (pid_t& child : children) {
    child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int made = 0;
      for (int i = 0; i < kPerProcess; ++i) {
        CTmpFile file(false);
        made += !file.Create("par").IsEmpty();
      }
      _exit(made == kPerProcess ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 2u * kPerProcess);
}

}  // namespace
