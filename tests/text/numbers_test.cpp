#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include <xtbasis/billing.h>
#include <xtbasis/charclass.h>
#include <xtbasis/numbers.h>
#include <xtbasis/tokenize.h>

namespace {

// Switches LC_NUMERIC for one test and restores the C locale afterwards.
class GermanNumbers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST(CharClasses, GermanLettersIndependentOfLocale) {
  int german = 0;
  for (int c = 0; c < 256; ++c) german += IsGermanAlpha(static_cast<char>(c));
  EXPECT_EQ(german, 52 + 7);
  EXPECT_TRUE(IsGermanAlpha('\xDF'));
  EXPECT_FALSE(IsGermanAlpha('\xE9'));
  EXPECT_FALSE(IsGermanAlpha('1'));
  EXPECT_TRUE(isxtalpha(0xE4));
  EXPECT_TRUE(isxtalnum(0xDC));
  EXPECT_TRUE(isxtupper(0xD6));
  EXPECT_TRUE(isxtlower(0xFC));
  EXPECT_FALSE(isxtalpha(0xD7));  // the multiplication sign
  EXPECT_FALSE(isxtdigit(0xB2));  // superscript two
  EXPECT_TRUE(isxtspace('\t'));
  EXPECT_TRUE(isxtspace(0xA0));  // the no-break space, as the runtime has it
  EXPECT_TRUE(isxtalpha(0x88));   // the modifier letter circumflex
}

// The readers that follow strtol, strtoul and atoi give what the Windows
// runtime's 32-bit long gives at and beyond its limits.
TEST(Readers, ThirtyTwoBitLongEdges) {
  EXPECT_EQ(xtoi("2147483647", 10), 2147483647);
  EXPECT_EQ(xtoi("2147483648", 10), 2147483647);
  EXPECT_EQ(xtoi("99999999999999999999999", 10), 2147483647);
  EXPECT_EQ(xtoi("-2147483648", 10), -2147483647 - 1);
  EXPECT_EQ(xtoi("-2147483649", 10), -2147483647 - 1);
  EXPECT_EQ(xtoi("0x80000000", 0), 2147483647);
  EXPECT_EQ(xtoi("7fffffff", 16), 2147483647);
  EXPECT_EQ(xtoui("4294967295", 10), 0xFFFFFFFFu);
  EXPECT_EQ(xtoui("4294967296", 10), 0xFFFFFFFFu);
  EXPECT_EQ(xtoui("-1", 10), 0xFFFFFFFFu);
  EXPECT_EQ(xtoui("-4294967295", 10), 1u);
  EXPECT_EQ(xtoui("-4294967296", 10), 0xFFFFFFFFu);
  EXPECT_EQ(xtoui("0x100000000", 0), 0xFFFFFFFFu);
  EXPECT_EQ(xtoui(" 0x0FFFFFFFF", 0), 0xFFFFFFFFu);

  int pos = 1;
  EXPECT_EQ(ctoi("x4294967296y", pos), 2147483647);
  EXPECT_EQ(pos, 11);
  pos = 0;
  EXPECT_EQ(ctoi("2147483647", pos), 2147483647);

  CString t = "Nr. 4294967296";  // glibc's atoi would cut this to 0
  EXPECT_EQ(GetNextInt(t), 2147483647);
  t = "-2147483649 x";
  EXPECT_EQ(GetNextInt(t), -2147483647 - 1);
  t = "2147483647";
  EXPECT_EQ(GetNextInt(t), 2147483647);
}

TEST(Readers, CharsAndTokens) {
  char c = 0;
  EXPECT_TRUE(TryGetChar("ab", 1, c));
  EXPECT_EQ(c, 'b');
  EXPECT_FALSE(TryGetChar("ab", 2, c));
  int pos = 1;
  EXPECT_TRUE(TryGetNextChar("ab", pos, c));
  EXPECT_EQ(pos, 2);
  EXPECT_FALSE(TryGetNextChar("ab", pos, c));
  EXPECT_EQ(pos, 2);

  CString token;
  pos = 0;
  EXPECT_TRUE(TryGetNextToken("  ab;cd", pos, ';', token));
  EXPECT_EQ(token, "ab");
  EXPECT_EQ(pos, 5);
  EXPECT_TRUE(TryGetNextToken("  ab;cd", pos, ';', token));
  EXPECT_EQ(token, "cd");
  EXPECT_EQ(pos, 8);
  EXPECT_FALSE(TryGetNextToken("  ab;cd", pos, ';', token));
  EXPECT_TRUE(token.IsEmpty());

  pos = 0;
  EXPECT_TRUE(TryGetNextTok("x,y;z", pos, ",;", token));
  EXPECT_TRUE(TryGetNextTok("x,y;z", pos, ",;", token));
  EXPECT_EQ(token, "y");
  EXPECT_EQ(pos, 4);
  pos = 0;
  EXPECT_FALSE(TryGetNextTok(";z", pos, ",;", token));  // empty field
  EXPECT_EQ(pos, 1);
}

TEST(Readers, Numbers) {
  int pos = 0;
  EXPECT_EQ(ctoi("  42x", pos), 42);
  EXPECT_EQ(pos, 4);
  pos = 0;
  EXPECT_EQ(ctoi("x", pos), 0);
  EXPECT_EQ(pos, 0);
  pos = 0;
  EXPECT_EQ(ctoi("-5", pos), 0);  // no sign is read

  CString t = "Nr. -17 ab";
  EXPECT_EQ(GetNextInt(t), -17);
  EXPECT_EQ(t, " ab");
  t = "+-12";
  EXPECT_EQ(GetNextInt(t), 0);
  t = "Menge: 12 St";
  EXPECT_FLOAT_EQ(GetNextPFloat(t), 12.0f);
  EXPECT_EQ(t, " St");
  t = "ca. 2";
  EXPECT_FLOAT_EQ(GetNextPFloat(t), 0.0f);
  EXPECT_EQ(t, " 2");

  EXPECT_EQ(xtoi("ff", 16), 255);
  EXPECT_EQ(xtoi("0x1A", 0), 26);
  EXPECT_EQ(CardToInt("  314 Stück"), 314);
  EXPECT_EQ(CardToInt("abc"), 0);
  EXPECT_EQ(CardToInt(nullptr), 0);
  EXPECT_EQ(CardToInt64("12345678901"), 12345678901LL);
  EXPECT_DOUBLE_EQ(CardToDouble("2.5"), 2.5);

  EXPECT_TRUE(NumStr("123  ", 1, 3));
  EXPECT_FALSE(NumStr("1234", 1, 3));
  EXPECT_FALSE(NumStr("12a", 1, 3));
  EXPECT_TRUE(NumStr("", 0, 5));
  EXPECT_FALSE(NumStr(" 1", 1, 3));
}

TEST(Formatters, DecimalGroupedAndRadix) {
  EXPECT_EQ(itoc(-42), "-42");
  EXPECT_EQ(i64toc(-9223372036854775807LL - 1), "-9223372036854775808");
  EXPECT_TRUE(itoc0(0).IsEmpty());
  EXPECT_EQ(itoc0(7), "7");
  EXPECT_EQ(itoc3(1234567), "1.234.567");
  EXPECT_EQ(itoc3(999), "999");
  EXPECT_EQ(itoc3(-1234), "-1.234");
  EXPECT_EQ(itoc3(-2147483647 - 1), "-2.147.483.648");
  EXPECT_EQ(itoc3(100000), "100.000");

  EXPECT_EQ(itox(255, 16), "ff");
  EXPECT_EQ(itox(-1, 16), "ffffffff");
  EXPECT_EQ(itox(-10, 10), "-10");
  EXPECT_EQ(itox(-2147483647 - 1, 10), "-2147483648");
  EXPECT_EQ(itox(-1, 2), std::string(32, '1').c_str());
  EXPECT_EQ(itox(35, 36), "z");
  EXPECT_EQ(itox(0, 7), "0");
  EXPECT_TRUE(itox(5, 1).IsEmpty());
  EXPECT_TRUE(uitox(5, 37).IsEmpty());
  EXPECT_EQ(uitox(4294967295u, 36), "1z141z3");

  CString out;
  pitoc(-7, out, 4);
  EXPECT_EQ(out, "  -7");
  pitoc(12345, out, 2);
  EXPECT_EQ(out, "12345");  // never cut
  apitoc(4294967295u, out, 11);
  EXPECT_EQ(out, " 4294967295");
  EXPECT_EQ(ftoc(2.5), "2.5");
  EXPECT_EQ(ftoc(1e20), "1e+20");
}

TEST(Quantities, WriteAndRead) {
  EXPECT_EQ(DoubleToAnzEinheit3Typ(1.5, "S"), "S  150");
  EXPECT_EQ(DoubleToAnzEinheit3Typ(0, "S"), "S  000");
  EXPECT_EQ(DoubleToAnzEinheit3Typ(123456.0, "S"), "S12345600");  // widens, not cut
  EXPECT_EQ(DoubleToVzAnzEinheit3Typ(-0.25, "S"), "S-   25");
  EXPECT_EQ(DoubleToVzAnzEinheit3Typ(2, "S"), "S   200");
  EXPECT_EQ(DoubleToVzAnzEinheit3Typ(0, "S"), "S  000");
  EXPECT_EQ(AToVzAnzEinheit3Typ("0", "S"), "S     0");
  EXPECT_EQ(AToVzAnzEinheit3Typ("-1.25", "S"), "S-  125");
  EXPECT_DOUBLE_EQ(VzAnzEinheit3TypToDouble("S- 1250"), -12.5);
  EXPECT_DOUBLE_EQ(VzAnzEinheit3TypToDouble(""), 0);
  EXPECT_DOUBLE_EQ(AnzEinheit3TypToDouble("S  150"), 1.5);
  EXPECT_DOUBLE_EQ(AnzEinheit3TypToDouble(""), 0);
  EXPECT_EQ(VzAnzEinheit3TypToA("S"), "0.0");
  EXPECT_EQ(VzAnzEinheit3TypToA("S- 1250"), "-12.5");
}

TEST(VatKeys, WholeTableBothWays) {
  for (int rate = 1; rate <= 26; ++rate) {
    const char key = MwStSatz2UStKey(rate);
    EXPECT_EQ(UStKey2MwStSatz(CString(key)), rate) << key;
  }
  EXPECT_EQ(MwStSatz2UStKey(16), 'g');
  EXPECT_EQ(MwStSatz2UStKey(0), '0');
  EXPECT_EQ(UStKey2MwStSatz("j"), 19);
  EXPECT_EQ(UStKey2MwStSatz("7"), 7);
  for (const char* zero : {"0", "r", "J", "", " ", "~"}) EXPECT_EQ(UStKey2MwStSatz(zero), 0) << zero;
}

TEST_F(GermanNumbers, DecimalCommaFollowsLocale) {
  EXPECT_EQ(ftoc(2.5), "2,5");
  EXPECT_EQ(VzAnzEinheit3TypToA("S- 1250"), "-12,5");
  EXPECT_EQ(VzAnzEinheit3TypToA("S"), "0.0");  // the fixed text for a short field
  EXPECT_EQ(itoc3(1234567), "1.234.567");     // grouping does not follow the locale
  EXPECT_TRUE(isxtalpha(0xE4));                // nor do the 1252 letters
  EXPECT_TRUE(IsGermanAlpha('\xC4'));
  CString t = "1,5 kg";
  EXPECT_FLOAT_EQ(GetNextPFloat(t), 1.0f);  // ',' is not part of the run
  EXPECT_EQ(AToVzAnzEinheit3Typ("1,25", "S"), "S   125");
}

}  // namespace
