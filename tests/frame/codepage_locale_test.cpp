// InitInstance and the C library's character classes: a ported program's
// own isalpha, toupper, strcoll and case-blind comparisons read its 1252
// bytes as the Windows runtime did under a German locale, while numbers
// keep the user's decimal separator.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <strings.h>

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "frame_fixture.h"

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XTB_UNDER_ASAN 1
#endif
#endif

// Locales of their own in a scratch folder (LOCPATH), so that the test
// neither needs nor changes the machine's.
class CodePageLocaleTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    SetTraceText("TraceLevel", "2");
    if (std::system("command -v localedef >/dev/null") != 0) GTEST_SKIP() << "no localedef";
    m_path = getenv("PATH");  // InitInstance puts the common files in front
    setenv("LOCPATH", Locales().Path().c_str(), 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_CTYPE");
    unsetenv("LC_COLLATE");
    unsetenv("LC_NUMERIC");
    ASSERT_TRUE(Generate("UTF-8", "de_DE.UTF-8"));
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    if (!m_path.empty()) setenv("PATH", m_path.c_str(), 1);
    unsetenv("LOCPATH");
    unsetenv("LANG");
    FrameTest::TearDown();
  }
  // Once per program: localedef takes seconds.
  static ScratchDir& Locales() {
    static ScratchDir locales;
    return locales;
  }
  static bool Generate(const char* charmap, const char* name) {
    const std::string folder = Locales().Path(name);
    if (std::filesystem::is_directory(folder)) return true;
    const std::string command = std::string("localedef -i de_DE -f ") + charmap + " '" + folder + "' >/dev/null 2>&1";
    std::system(command.c_str());  // warnings make the status non-zero; the folder tells
    return std::filesystem::is_directory(folder);
  }
  // A folder with the user's locale only. The C library keeps what it
  // loaded by file name, so a second folder is what makes a locale missing.
  static std::string WithoutCodePage1252() {
    const std::string folder = Locales().Path("without-1252");
    std::filesystem::create_directories(folder);
    std::error_code exists;
    std::filesystem::create_directory_symlink(Locales().Path("de_DE.UTF-8"), folder + "/de_DE.UTF-8", exists);
    return folder;
  }

  std::string m_path;
};

TEST_F(CodePageLocaleTest, UmlautsAreLettersWithTheirCasePairsAndNumbersStayTheUsers) {
  ASSERT_TRUE(Generate("CP1252", "de_DE.CP1252"));
  m_sysBase.InitInstance();
  EXPECT_TRUE(std::isalpha(0xFC));  // ü
  EXPECT_TRUE(std::isalpha(0xDF));  // ß
  EXPECT_FALSE(std::isalpha(0xD7));  // ×
  EXPECT_EQ(std::toupper(0xFC), 0xDC);
  EXPECT_EQ(std::tolower(0xC4), 0xE4);
#ifndef XTB_UNDER_ASAN  // the sanitizer's own strcasecmp folds ASCII only
  EXPECT_EQ(strcasecmp("M\xDCLLER", "m\xFCller"), 0);
#endif
  EXPECT_LT(std::strcoll("\xE4pfel", "birnen"), 0);  // ä sorts with a, not after z
  char text[16];
  std::snprintf(text, sizeof text, "%.1f|%s", 2.5, "\xC4rger");
  EXPECT_STREQ(text, "2,5|\xC4rger");
  EXPECT_TRUE(Read(TraceFile()).empty()) << Read(TraceFile());
}

// Without a 1252 locale nothing fails: the classes stay the user's, and a
// warning record tells the administrator what is missing.
TEST_F(CodePageLocaleTest, AMissingLocaleLeavesTheUsersClassesAndAWarning) {
  setenv("LOCPATH", WithoutCodePage1252().c_str(), 1);
  m_sysBase.InitInstance();
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "de_DE.UTF-8");
  char text[8];
  std::snprintf(text, sizeof text, "%.1f", 2.5);
  EXPECT_STREQ(text, "2,5");
  const std::string records = Read(TraceFile());
  EXPECT_NE(records.find("CXTSysBase::InitInstance: kein Locale mit Codepage 1252 (de_DE.CP1252, de_DE.CP1252)"),
            std::string::npos)
      << records;
}

}  // namespace
