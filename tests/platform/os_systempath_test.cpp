// Paths written with '\' reach the right files through every service that
// takes a path, names with a backslash are never made, and a failing call
// on a path leaves the Windows number that tells what was missing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <xtbasis/platform/lasterror.h>

#include "os/file.h"
#include "os/filesystem.h"
#include "os/folder.h"
#include "os/systempath.h"

namespace {

namespace fs = std::filesystem;
using namespace xtb::os;

class SystemPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "xtb-syspath-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    m_win = SlashesToBackslashes(m_dir.string()) + "\\";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }
  static std::string SlashesToBackslashes(std::string text) {
    for (char& ch : text)
      if (ch == '/') ch = '\\';
    return text;
  }
  bool AnyNameWithBackslash() const {
    for (const auto& entry : fs::recursive_directory_iterator(m_dir))
      if (entry.path().filename().string().find('\\') != std::string::npos) return true;
    return false;
  }

  fs::path m_dir;
  std::string m_win;  // m_dir with '\', ending with '\'
};

TEST_F(SystemPaths, EveryPathServiceReadsBackslashes) {
  EXPECT_EQ(SystemPath("C:\\a\\b/c"), "C:/a/b/c");
  ASSERT_TRUE(MakeFolder((m_win + "made").c_str()));
  EXPECT_TRUE(fs::is_directory(m_dir / "made"));
  ASSERT_TRUE(CreateNewFile((m_win + "made\\new.txt").c_str()));
  EXPECT_TRUE(fs::exists(m_dir / "made" / "new.txt"));
  const std::string text = "Inhalt";
  ASSERT_TRUE(ReplaceWholeFile((m_win + "made\\whole.txt").c_str(), text.data(), text.size(), 0644));
  std::string read;
  ASSERT_TRUE(ReadWholeFile((m_win + "made\\whole.txt").c_str(), read));
  EXPECT_EQ(read, text);
  FileFacts facts;
  EXPECT_TRUE(FactsOf((m_win + "made\\whole.txt").c_str(), facts));
  EXPECT_TRUE(SetPermissions((m_win + "made\\whole.txt").c_str(), 0600));
  File in, out;
  ASSERT_TRUE(in.OpenShared((m_win + "made\\whole.txt").c_str()));
  ASSERT_TRUE(out.Create((m_win + "made\\copy.txt").c_str(), in));
  EXPECT_TRUE(fs::exists(m_dir / "made" / "copy.txt"));
  std::vector<std::string> names;
  EXPECT_TRUE(ListFolder(m_win + "made", [&names](std::string_view name) {
    names.emplace_back(name);
    return true;
  }));
  EXPECT_EQ(names.size(), 3u);
  const Folder made = Folder::Make(m_win + "deep\\er", 0700);
  EXPECT_TRUE(made.IsOpen());
  EXPECT_TRUE(fs::is_directory(m_dir / "deep" / "er"));
  std::string folder, name;
  SplitFolderAndName(m_win + "made\\whole.txt", folder, name);
  EXPECT_EQ(folder, (m_dir / "made").string());
  EXPECT_EQ(name, "whole.txt");
  EXPECT_TRUE(RemoveFile((m_win + "made\\new.txt").c_str()));
  EXPECT_FALSE(AnyNameWithBackslash());
}

TEST_F(SystemPaths, EntryNamesWithABackslashAreRefused) {
  const Folder folder(m_dir.string());
  int error = 0;
  EXPECT_FALSE(folder.OpenEntry("a\\b.log", EntryRule{}, error).IsOpen());
  EXPECT_EQ(error, EINVAL);
  EXPECT_FALSE(folder.ReplaceEntry("a\\b.txt", "x", 1, 0644));
  bool made = false;
  EXPECT_FALSE(folder.MakeSubfolder("a\\b", 0700, made).IsOpen());
  EXPECT_FALSE(AnyNameWithBackslash());
}

TEST_F(SystemPaths, FailuresSetTheWindowsNumberOfWhatWasMissing) {
  std::string read;
  SetLastError(0);
  EXPECT_FALSE(ReadWholeFile((m_win + "missing.txt").c_str(), read));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(errno, ENOENT) << "errno is kept for the families";
  SetLastError(0);
  EXPECT_FALSE(ReadWholeFile((m_win + "nofolder\\missing.txt").c_str(), read));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  SetLastError(0);
  EXPECT_FALSE(MakeFolder((m_win + "nofolder\\sub").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  std::ofstream(m_dir / "file") << "x";
  SetLastError(0);
  EXPECT_FALSE(CreateNewFile((m_win + "file\\below").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "a file on the way is no folder";
  SetLastError(0);
  EXPECT_FALSE(CreateNewFile((m_win + "file").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

}  // namespace
