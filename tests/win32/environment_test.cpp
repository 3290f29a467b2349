// The environment calls' buffer protocols, and names Windows always has.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Environment, BufferProtocolOfGetEnvironmentVariable) {
  ASSERT_TRUE(SetEnvironmentVariable("XTB_KIT_PROBE", "value"));
  char buffer[16];
  SetLastError(ERROR_GEN_FAILURE);
  EXPECT_EQ(GetEnvironmentVariable("XTB_KIT_PROBE", buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "value");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetEnvironmentVariable("XTB_KIT_PROBE", buffer, 5), 6u);  // the size with the NUL
  EXPECT_EQ(GetEnvironmentVariable("xtb_kit_probe", nullptr, 0), 6u);  // found in upper case as well

  ASSERT_TRUE(SetEnvironmentVariable("XTB_KIT_PROBE", nullptr));
  SetLastError(0);
  EXPECT_EQ(GetEnvironmentVariable("XTB_KIT_PROBE", buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
  EXPECT_FALSE(SetEnvironmentVariable("A=B", "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(SetEnvironmentVariable("", "x"));
}

TEST(Environment, AChildProcessInheritsTheChange) {
  ASSERT_TRUE(SetEnvironmentVariable("XTB_KIT_CHILD", "from parent"));
  EXPECT_EQ(std::system("test \"$XTB_KIT_CHILD\" = 'from parent'"), 0);
  ASSERT_TRUE(SetEnvironmentVariable("XTB_KIT_CHILD", nullptr));
  EXPECT_EQ(std::system("test -z \"${XTB_KIT_CHILD+set}\""), 0);
}

TEST(Environment, ExpandsKnownNamesKeepsUnknownAndReportsTheSize) {
  ASSERT_TRUE(SetEnvironmentVariable("XTB_KIT_DIR", "C:\\Data"));
  const char* source = "%XTB_KIT_DIR%\\%XTB_KIT_NONE%\\50%%x%XTB_KIT_DIR%";
  const std::string expected = "C:\\Data\\%XTB_KIT_NONE%\\50%%xC:\\Data";
  EXPECT_EQ(ExpandEnvironmentStrings(source, nullptr, 0), expected.size() + 1);
  char small[8] = "keep";
  EXPECT_EQ(ExpandEnvironmentStrings(source, small, sizeof small), expected.size() + 1);
  EXPECT_STREQ(small, "keep");  // nothing written when it does not fit
  char buffer[64];
  EXPECT_EQ(ExpandEnvironmentStrings(source, buffer, sizeof buffer), expected.size() + 1);
  EXPECT_EQ(std::string(buffer), expected);
  // An unknown name's closing '%' may open the next name.
  EXPECT_EQ(ExpandEnvironmentStrings("%XTB_KIT_NONE%XTB_KIT_DIR%", buffer, sizeof buffer), 21u);
  EXPECT_STREQ(buffer, "%XTB_KIT_NONEC:\\Data");
  EXPECT_EQ(ExpandEnvironmentStrings("100%", buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "100%");
  SetEnvironmentVariable("XTB_KIT_DIR", nullptr);
}

TEST(Environment, WindowsNamesComeFromTheSystem) {
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  char buffer[MAX_PATH];
  if (!std::getenv("USERPROFILE")) {
    ASSERT_GT(GetEnvironmentVariable("USERPROFILE", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, home);
  }
  if (!std::getenv("TEMP")) {
    const char* tmpdir = std::getenv("TMPDIR");
    ASSERT_GT(ExpandEnvironmentStrings("%TEMP%", buffer, sizeof buffer), 1u);
    EXPECT_STREQ(buffer, tmpdir && *tmpdir ? tmpdir : "/tmp");
  }
  char computer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof computer;
  ASSERT_TRUE(GetComputerName(computer, &size));
  ASSERT_GT(ExpandEnvironmentStrings("%COMPUTERNAME%", buffer, sizeof buffer), 1u);
  EXPECT_STREQ(buffer, computer);
}

TEST(Environment, ComputerAndUserNamesTellTheSizeTheyNeed) {
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof name;
  ASSERT_TRUE(GetComputerName(name, &size));
  EXPECT_EQ(size, std::string(name).size());
  EXPECT_LE(size, static_cast<DWORD>(MAX_COMPUTERNAME_LENGTH));
  for (const char* p = name; *p; ++p) EXPECT_FALSE(*p >= 'a' && *p <= 'z') << name;
  DWORD tooSmall = size;  // no room for the NUL
  EXPECT_FALSE(GetComputerName(name, &tooSmall));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
  EXPECT_EQ(tooSmall, size + 1);

  char user[UNLEN + 1];
  DWORD userSize = sizeof user;
  ASSERT_TRUE(GetUserName(user, &userSize));
  EXPECT_EQ(userSize, std::string(user).size() + 1);  // with the NUL, unlike GetComputerName
  DWORD none = 1;
  EXPECT_FALSE(GetUserName(user, &none));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(none, userSize);
  EXPECT_FALSE(GetUserName(user, nullptr));
}

}  // namespace
