// The shell's path helpers on Windows path text, and the known folders on
// the XDG folders of a scratch home.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "scratch_dir.h"

namespace {

std::string Appended(const char* path, const char* more) {
  char buffer[MAX_PATH];
  std::strcpy(buffer, path);
  return PathAppend(buffer, more) ? buffer : "(failed)";
}

TEST(ShellPaths, AppendAndCombineJoinOnceAndCanonicalise) {
  EXPECT_EQ(Appended("C:\\data", "claims.xml"), "C:\\data\\claims.xml");
  EXPECT_EQ(Appended("C:\\data\\", "\\claims.xml"), "C:\\data\\claims.xml");
  EXPECT_EQ(Appended("C:\\data\\q1", "..\\q2\\.\\x"), "C:\\data\\q2\\x");
  EXPECT_EQ(Appended("/var/lib", "app"), "/var/lib\\app");  // '\\' added, read as '/' by the kit
  EXPECT_EQ(Appended("\\\\server\\share", "dir"), "\\\\server\\share\\dir");
  EXPECT_EQ(Appended("C:\\", "..\\.."), "C:\\");  // never above the root
  EXPECT_EQ(Appended("C:\\a", std::string(MAX_PATH, 'x').c_str()), "(failed)");

  char out[MAX_PATH];
  EXPECT_STREQ(PathCombine(out, "C:\\a\\b", "c.txt"), "C:\\a\\b\\c.txt");
  EXPECT_STREQ(PathCombine(out, "C:\\a\\b", "\\root.txt"), "C:\\root.txt");
  EXPECT_STREQ(PathCombine(out, "C:\\a", "D:\\other"), "D:\\other");
  EXPECT_STREQ(PathCombine(out, nullptr, "x\\..\\y"), "y");
  EXPECT_EQ(PathCombine(out, nullptr, nullptr), nullptr);
}

TEST(ShellPaths, FileSpecNameAndExtension) {
  struct Case {
    const char* path;
    const char* withoutFileSpec;
    BOOL removed;
  };
  const Case cases[] = {
      {"C:\\a\\b.txt", "C:\\a", TRUE}, {"C:\\a", "C:\\", TRUE},       {"C:\\", "C:\\", FALSE},
      {"\\\\srv\\share\\x", "\\\\srv\\share", TRUE}, {"name", "", TRUE}, {"\\a", "\\", TRUE},
      {"/usr/lib/", "/usr/lib", TRUE},
  };
  for (const Case& c : cases) {
    char buffer[MAX_PATH];
    std::strcpy(buffer, c.path);
    EXPECT_EQ(PathRemoveFileSpec(buffer), c.removed) << c.path;
    EXPECT_STREQ(buffer, c.withoutFileSpec) << c.path;
  }
  EXPECT_STREQ(PathFindFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_STREQ(PathFindFileName("C:\\a\\dir\\"), "dir\\");
  EXPECT_STREQ(PathFindFileName("C:x"), "x");
  EXPECT_STREQ(PathFindFileName("plain"), "plain");
  EXPECT_STREQ(PathFindExtension("C:\\a.b\\c.tar.gz"), ".gz");
  EXPECT_STREQ(PathFindExtension("C:\\a.b\\c"), "");
  EXPECT_STREQ(PathFindExtension("file.with space"), "");
  const char* noExtension = "x\\y";
  EXPECT_EQ(PathFindExtension(noExtension), noExtension + 3);  // the end of the text

  char buffer[MAX_PATH] = "C:\\r\\bill.xml";
  PathRemoveExtension(buffer);
  EXPECT_STREQ(buffer, "C:\\r\\bill");
  EXPECT_TRUE(PathRenameExtension(buffer, ".enc"));
  EXPECT_STREQ(buffer, "C:\\r\\bill.enc");
  EXPECT_FALSE(PathRenameExtension(buffer, std::string(MAX_PATH, 'e').c_str()));
  EXPECT_STREQ(buffer, "C:\\r\\bill.enc");
  PathStripPath(buffer);
  EXPECT_STREQ(buffer, "bill.enc");
}

TEST(ShellPaths, BackslashesAtTheEnd) {
  char buffer[MAX_PATH] = "C:\\data";
  EXPECT_EQ(PathAddBackslash(buffer), buffer + 8);
  EXPECT_STREQ(buffer, "C:\\data\\");
  EXPECT_EQ(PathAddBackslash(buffer), buffer + 8);  // already there
  EXPECT_STREQ(buffer, "C:\\data\\");
  EXPECT_EQ(PathRemoveBackslash(buffer), buffer + 7);
  EXPECT_STREQ(buffer, "C:\\data");
  std::strcpy(buffer, "C:\\");
  PathRemoveBackslash(buffer);
  EXPECT_STREQ(buffer, "C:\\");  // the root keeps its separator
  std::memset(buffer, 'x', MAX_PATH - 1);
  buffer[MAX_PATH - 1] = '\0';
  EXPECT_EQ(PathAddBackslash(buffer), nullptr);

  EXPECT_FALSE(PathIsRelative("C:\\a"));
  EXPECT_FALSE(PathIsRelative("\\\\srv\\s"));
  EXPECT_FALSE(PathIsRelative("/usr"));
  EXPECT_TRUE(PathIsRelative("a\\b"));
}

TEST(ShellPaths, ExistenceAsksTheSystemThroughBackslashes) {
  ScratchDir scratch;
  scratch.Write("f.txt", "x");
  std::string folder = scratch.Path();
  for (char& ch : folder)
    if (ch == '/') ch = '\\';
  EXPECT_TRUE(PathFileExists((folder + "f.txt").c_str()));
  EXPECT_FALSE(PathFileExists((folder + "g.txt").c_str()));
  EXPECT_EQ(PathIsDirectory(folder.c_str()), static_cast<BOOL>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PathIsDirectory((folder + "f.txt").c_str()));
  EXPECT_FALSE(PathFileExists(nullptr));
}

// The known folders under a scratch home with XDG variables set.
class KnownFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
      const char* value = std::getenv(name);
      m_saved.push_back({name, value ? std::string(value) : std::string(), value != nullptr});
    }
    setenv("HOME", (m_scratch.Path() + "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_scratch.Path() + "config").c_str(), 1);
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    unsetenv("XDG_CACHE_HOME");
  }
  void TearDown() override {
    for (const Saved& s : m_saved) {
      if (s.set) setenv(s.name, s.value.c_str(), 1);
      else unsetenv(s.name);
    }
  }
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  };
  ScratchDir m_scratch;
  std::vector<Saved> m_saved;
};

TEST_F(KnownFolders, MapToTheXdgFoldersAndAreMadeOnRequest) {
  char path[MAX_PATH];
  const std::string home = m_scratch.Path() + "home";
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), S_FALSE);  // not made yet
  EXPECT_EQ(std::string(path), m_scratch.Path() + "config");
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), home + "/.local/share");
  EXPECT_TRUE(PathIsDirectory(path));
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_INTERNET_CACHE | CSIDL_FLAG_DONT_VERIFY, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), home + "/.cache");
  EXPECT_FALSE(PathFileExists(path));
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_PROFILE, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), home);
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path), S_OK);
  EXPECT_STREQ(path, "/var/lib");
  EXPECT_EQ(SHGetFolderPath(nullptr, 0x7777, nullptr, 0, path), E_INVALIDARG);
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_APPDATA, nullptr, 0, nullptr), E_INVALIDARG);

  EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, FALSE));
  EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, TRUE));
  EXPECT_EQ(std::string(path), home + "/Documents");
  EXPECT_TRUE(PathIsDirectory(path));

  // The environment's Windows names give the same folders.
  char variable[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariable("APPDATA", variable, sizeof variable), 0u);
  EXPECT_EQ(std::string(variable), m_scratch.Path() + "config");
  // A folder that cannot be made, under a file.
  setenv("HOME", m_scratch.Write("plain", "x").c_str(), 1);
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_MYMUSIC | CSIDL_FLAG_CREATE, nullptr, 0, path), E_FAIL);
}

}  // namespace
