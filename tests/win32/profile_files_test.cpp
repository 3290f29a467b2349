// GetPrivateProfileString, GetPrivateProfileInt and WritePrivateProfileString
// on real files: the buffer protocol and its truncation, the lists, the
// defaults, numbers, writes that keep the rest of the file, removals, a
// bare file name, and files that must not be written.
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "../support/scratch_dir.h"

namespace {

std::string Content(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ProfileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ini = dir.Write("praxis.ini",
                    "[Praxis]\r\nName = Praxis Sonnenschein\r\nStuehle=4\r\nHex=0x1F\r\nMinus= -12\r\nText=zwei\r\n"
                    "Leer=\r\n; Kommentar=1\r\n\r\n[Drucker]\r\nPort=LPT1\r\n");
    for (char& ch : ini)
      if (ch == '/') ch = '\\';
  }
  ScratchDir dir;
  std::string ini;
};

TEST_F(ProfileFiles, StringsFollowTheBufferProtocol) {
  char buffer[64];
  EXPECT_EQ(19u, GetPrivateProfileString("praxis", "NAME", "x", buffer, sizeof buffer, ini.c_str()));
  EXPECT_STREQ("Praxis Sonnenschein", buffer);
  // Cut to fit: nSize - 1 characters and the NUL.
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(5u, GetPrivateProfileString("Praxis", "Name", "", buffer, 6, ini.c_str()));
  EXPECT_STREQ("Praxi", buffer);
  EXPECT_EQ('z', buffer[6]);
  // The default, its trailing blanks cut, for a missing key, section or file.
  EXPECT_EQ(4u, GetPrivateProfileString("Praxis", "Fax", "kein  ", buffer, sizeof buffer, ini.c_str()));
  EXPECT_STREQ("kein", buffer);
  EXPECT_EQ(0u, GetPrivateProfileString("Fehlt", "Name", nullptr, buffer, sizeof buffer, ini.c_str()));
  EXPECT_STREQ("", buffer);
  EXPECT_EQ(3u, GetPrivateProfileString("Praxis", "Name", "abc", buffer, sizeof buffer, dir.Path("fehlt.ini").c_str()));
  EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
  // An empty value is found: it is not the default.
  EXPECT_EQ(0u, GetPrivateProfileString("Praxis", "Leer", "d", buffer, sizeof buffer, ini.c_str()));
  EXPECT_EQ(2u, GetPrivateProfileString("Praxis", "Kommentar", "no", buffer, sizeof buffer, ini.c_str()));
  EXPECT_EQ(0u, GetPrivateProfileString("Praxis", "Name", "", buffer, 0, ini.c_str()));
}

TEST_F(ProfileFiles, NullNamesGiveDoubleNulLists) {
  char buffer[64];
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(15u, GetPrivateProfileString(nullptr, "ignored", "d", buffer, sizeof buffer, ini.c_str()));
  EXPECT_EQ(0, memcmp("Praxis\0Drucker\0\0", buffer, 16));
  EXPECT_EQ(33u, GetPrivateProfileString("PRAXIS", nullptr, "d", buffer, sizeof buffer, ini.c_str()));
  EXPECT_EQ(0, memcmp("Name\0Stuehle\0Hex\0Minus\0Text\0Leer\0\0", buffer, 34));
  // Cut: nSize - 2, the last name cut, two NULs at the end.
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(10u, GetPrivateProfileString(nullptr, nullptr, nullptr, buffer, 12, ini.c_str()));
  EXPECT_EQ(0, memcmp("Praxis\0Dru\0\0", buffer, 12));
  EXPECT_EQ('z', buffer[12]);
  // Nothing to list: an empty list.
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(0u, GetPrivateProfileString("Fehlt", nullptr, "d", buffer, sizeof buffer, ini.c_str()));
  EXPECT_EQ(0, memcmp("\0\0", buffer, 2));
}

TEST_F(ProfileFiles, NumbersAsWindowsReadsThem) {
  EXPECT_EQ(4u, GetPrivateProfileInt("Praxis", "Stuehle", 9, ini.c_str()));
  EXPECT_EQ(31u, GetPrivateProfileInt("Praxis", "Hex", 9, ini.c_str()));
  EXPECT_EQ(static_cast<UINT>(-12), GetPrivateProfileInt("Praxis", "Minus", 9, ini.c_str()));
  EXPECT_EQ(0u, GetPrivateProfileInt("Praxis", "Text", 9, ini.c_str()));
  EXPECT_EQ(9u, GetPrivateProfileInt("Praxis", "Leer", 9, ini.c_str()));
  EXPECT_EQ(static_cast<UINT>(-1), GetPrivateProfileInt("Praxis", "Fehlt", -1, ini.c_str()));
}

TEST_F(ProfileFiles, WritesKeepTheRestOfTheFile) {
  const std::string path = dir.Path("praxis.ini");
  const std::string before = Content(path);
  ASSERT_EQ(0, chmod(path.c_str(), 0640));
  ASSERT_TRUE(WritePrivateProfileString("praxis", "stuehle", "5", ini.c_str()));
  std::string expected = before;
  expected.replace(expected.find("Stuehle=4"), 9, "Stuehle=5");
  EXPECT_EQ(expected, Content(path));
  struct stat facts;
  ASSERT_EQ(0, stat(path.c_str(), &facts));
  EXPECT_EQ(0640u, facts.st_mode & 07777);  // the new file keeps the old one's mode

  ASSERT_TRUE(WritePrivateProfileString("Drucker", "Port", nullptr, ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("Neu", "Wert", "\"a b\"", ini.c_str()));
  char buffer[16];
  EXPECT_EQ(3u, GetPrivateProfileString("neu", "wert", "", buffer, sizeof buffer, ini.c_str()));
  EXPECT_STREQ("a b", buffer);
  EXPECT_EQ(0u, GetPrivateProfileString("Drucker", "Port", "", buffer, sizeof buffer, ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("Praxis", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ("[Drucker]\r\n[Neu]\r\nWert=\"a b\"\r\n", Content(path));

  // A new file, and a removal from a file that is not there, which stays so.
  const std::string fresh = dir.Path("neu\\..\\frisch.ini");
  ASSERT_EQ(0, mkdir(dir.Path("neu").c_str(), 0755));
  ASSERT_TRUE(WritePrivateProfileString("A", "b", "c", fresh.c_str()));
  EXPECT_EQ("[A]\r\nb=c\r\n", Content(dir.Path("frisch.ini")));
  ASSERT_TRUE(WritePrivateProfileString("A", "b", nullptr, dir.Path("nie.ini").c_str()));
  EXPECT_NE(0, access(dir.Path("nie.ini").c_str(), F_OK));
  EXPECT_FALSE(WritePrivateProfileString(nullptr, "b", "c", fresh.c_str()));
  EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(ProfileFiles, WritersAtOnceLoseNoKey) {
  auto writeKeys = [&](const char* prefix) {
    for (int i = 0; i < 40; ++i)
      EXPECT_TRUE(WritePrivateProfileString("Parallel", (prefix + std::to_string(i)).c_str(), "1", ini.c_str()));
  };
  std::thread first(writeKeys, "a");
  std::thread second(writeKeys, "b");
  first.join();
  second.join();
  char keys[2048];
  const DWORD length = GetPrivateProfileString("Parallel", nullptr, "", keys, sizeof keys, ini.c_str());
  int count = 0;
  for (DWORD i = 0; i < length; ++i) count += keys[i] == '\0';
  EXPECT_EQ(80, count);
  EXPECT_EQ(4u, GetPrivateProfileInt("Praxis", "Stuehle", 0, ini.c_str()));
}

TEST_F(ProfileFiles, FilesThatMustNotBeWrittenStayAsTheyAre) {
  // A link in the file's place loses its name; what it led to is untouched.
  const std::string target = dir.Write("ziel.txt", "fremd\n");
  ASSERT_EQ(0, symlink(target.c_str(), dir.Path("link.ini").c_str()));
  ASSERT_TRUE(WritePrivateProfileString("A", "b", "c", dir.Path("link.ini").c_str()));
  EXPECT_EQ("fremd\n", Content(target));
  EXPECT_EQ("fremd\n[A]\nb=c\n", Content(dir.Path("link.ini")));
  struct stat facts;
  ASSERT_EQ(0, lstat(dir.Path("link.ini").c_str(), &facts));
  EXPECT_TRUE(S_ISREG(facts.st_mode));

  // A read-only file is refused, as Windows refuses it.
  const std::string path = dir.Path("praxis.ini");
  const std::string before = Content(path);
  ASSERT_EQ(0, chmod(path.c_str(), 0444));
  EXPECT_FALSE(WritePrivateProfileString("Praxis", "Name", "x", ini.c_str()));
  EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_EQ(before, Content(path));
  chmod(path.c_str(), 0644);
  // Names and values that would read back as other lines are refused.
  const char* const shapeBreakers[][3] = {{"Praxis", "Name", "x\r\n[Neu]"}, {"Pra]xis", "Name", "x"},
                                          {"Praxis", "Na=me", "x"},           {"Praxis", " ;Name", "x"},
                                          {"Praxis", "[Name]", "x"},          {"Praxis", " ", "x"},
                                          {"Pra\nxis", nullptr, nullptr}};
  for (const auto& breaker : shapeBreakers) {
    EXPECT_FALSE(WritePrivateProfileString(breaker[0], breaker[1], breaker[2], ini.c_str())) << breaker[0];
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
  }
  EXPECT_EQ(before, Content(path));
  EXPECT_FALSE(WritePrivateProfileString("A", "b", "c", dir.Path("fehlt\\x.ini").c_str()));
  EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST_F(ProfileFiles, BareNameLivesInTheConfigurationFolder) {
  const char* saved = getenv("XDG_CONFIG_HOME");
  const std::string savedValue = saved != nullptr ? saved : "";
  const std::string config = dir.Path("config");
  ASSERT_EQ(0, setenv("XDG_CONFIG_HOME", config.c_str(), 1));
  ASSERT_TRUE(WritePrivateProfileString("A", "b", "c", "bare-test.ini"));
  EXPECT_EQ("[A]\r\nb=c\r\n", Content(config + "/bare-test.ini"));
  struct stat facts;
  ASSERT_EQ(0, stat(config.c_str(), &facts));
  EXPECT_EQ(0700u, facts.st_mode & 07777);
  char buffer[8];
  EXPECT_EQ(1u, GetPrivateProfileString("a", "B", "", buffer, sizeof buffer, "bare-test.ini"));
  EXPECT_STREQ("c", buffer);
  if (saved != nullptr) setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
