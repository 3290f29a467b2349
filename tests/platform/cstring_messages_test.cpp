// CString's message inserts (FormatMessage) and its collation (Collate,
// CollateNoCase) against the byte order of Compare.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>
#include <xtbasis/platform/cstring.h>

namespace {

TEST(CStringFormatMessage, InsertsTakeTheirArgumentByNumberWithAConversion) {
  CString text;
  const CString name("M\xFCller");
  text.FormatMessage("%1 hat %2!d! Z\xE4hne, %1.", name, 28);
  EXPECT_EQ(text, "M\xFCller hat 28 Z\xE4hne, M\xFCller.");
  text.FormatMessage("[%1!5.2f!|%2!-4s!|%3!x!|%4!I64d!]", 2.5, "ab", 255u, INT64_C(-9000000000));
  EXPECT_EQ(text, "[ 2.50|ab  |ff|-9000000000]");
  // '*' takes the argument of the insert as the width, the next as the value.
  text.FormatMessage("<%1!*d!><%3>", 6, 42, "drei");
  EXPECT_EQ(text, "<    42><drei>");
  // Two digits at most: %100 is insert 10 and a '0'.
  text.FormatMessage("%100|%2", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j");
  EXPECT_EQ(text, "j0|b");
  // The plain insert is %s: a number there writes nothing.
  text.FormatMessage("<%1>", 1);
  EXPECT_EQ(text, "<>");
  // The string's own text as an argument.
  text = "alt";
  text.FormatMessage("%1-%1", text);
  EXPECT_EQ(text, "alt-alt");
}

TEST(CStringFormatMessage, EscapesEndAndMissingArguments) {
  CString text;
  text.FormatMessage("%%1|%n|%r|%t|%.|%!|% |%x|%", 5);
  EXPECT_EQ(text, "%1|\r\n|\r|\t|.|!| |x|");
  text.FormatMessage("Ende%0 nicht mehr %1", "x");
  EXPECT_EQ(text, "Ende");
  // Without its argument an insert is left out; text keeps its line breaks.
  text.FormatMessage("%1 und %3\nZeile 2", "eins");
  EXPECT_EQ(text, "eins und \nZeile 2");
  // A conversion without its closing '!' is text after a plain insert.
  text.FormatMessage("%1!d", "x");
  EXPECT_EQ(text, "x!d");
  text.FormatMessage(static_cast<const char*>(nullptr), 1);
  EXPECT_TRUE(text.IsEmpty());
}

// The German collation of the 1252 locale that CXTSysBase::InitInstance
// sets, and of the UTF-8 one, which must read the same 1252 text alike.
class CStringCollate : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    m_saved = std::setlocale(LC_COLLATE, nullptr);
    if (!std::setlocale(LC_COLLATE, GetParam()))
      GTEST_SKIP() << GetParam() << " is not installed (scripts/install-debian-packages generates it)";
  }
  void TearDown() override { std::setlocale(LC_COLLATE, m_saved.c_str()); }

 private:
  std::string m_saved;
};

TEST_P(CStringCollate, UmlautsAndSharpSSortWithTheirBaseLetters) {
  // Byte order puts every umlaut after 'z'; the collation beside its vowel.
  EXPECT_GT(CString("\xC4rger").Compare("Bahn"), 0);
  EXPECT_LT(CString("\xC4rger").Collate("Bahn"), 0);
  EXPECT_GT(CString("M\xFCller").Compare("Mz"), 0);
  EXPECT_LT(CString("M\xFCller").Collate("Mz"), 0);
  EXPECT_GT(CString("M\xFCller").Collate("Muller"), 0);
  EXPECT_LT(CString("M\xFCller").Collate("Mullerz"), 0);
  EXPECT_GT(CString("\xD6l").Collate("Ol"), 0);
  EXPECT_LT(CString("\xD6l").Collate("Oma"), 0);
  // ß sorts as "ss".
  EXPECT_GT(CString("Stra\xDF" "e").Compare("Strassf"), 0);
  EXPECT_LT(CString("Stra\xDF" "e").Collate("Strassf"), 0);
  EXPECT_GT(CString("Stra\xDF" "e").Collate("Strasr"), 0);
}

TEST_P(CStringCollate, CaseDecidesLastAndNotAtAllWithoutCase) {
  EXPECT_LT(CString("\xE4rger").Collate("\xC4rger"), 0);  // lower case first
  EXPECT_LT(CString("apfel").Collate("Apfel"), 0);
  EXPECT_LT(CString("Apfel").Collate("apfelbaum"), 0);  // the letters first, case after
  EXPECT_EQ(CString("\xE4rger").CollateNoCase("\xC4RGER"), 0);
  EXPECT_EQ(CString("STRA\xDF" "E").CollateNoCase("stra\xDF" "e"), 0);
  EXPECT_LT(CString("\xC4rger").CollateNoCase("bahn"), 0);
  EXPECT_GT(CString("\xC4rger").CompareNoCase("bahn"), 0);
  EXPECT_EQ(CString("Abc").Collate("Abc"), 0);
  EXPECT_GT(CString("a").Collate(nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(GermanLocales, CStringCollate, ::testing::Values("de_DE.CP1252", "de_DE.UTF-8"));

TEST(CStringCollateC, TheCLocaleOrdersAsCompare) {
  const std::string saved = std::setlocale(LC_COLLATE, nullptr);
  std::setlocale(LC_COLLATE, "C");
  EXPECT_GT(CString("\xC4rger").Collate("Bahn"), 0);
  EXPECT_LT(CString("Apfel").Collate("apfel"), 0);
  EXPECT_EQ(CString("\xE4rger").CollateNoCase("\xC4rger"), 0);
  std::setlocale(LC_COLLATE, saved.c_str());
}

}  // namespace
