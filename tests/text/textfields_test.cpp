// Fixed-width fields, reading and the simple tests on texts.
#include <gtest/gtest.h>
#include <xtbasis/textfields.h>

namespace {

TEST(TextFields, PaddingAndCutting) {
  EXPECT_EQ(LeftFix("abc", 5, '.'), "abc..");
  EXPECT_EQ(LeftFix("abcdef", 3, '.'), "abc");
  EXPECT_EQ(LeftFix("abc", -1, '.'), "");
  EXPECT_EQ(RightFix("abc", 5, '0'), "00abc");
  EXPECT_EQ(RightFix("abcdef", 3, ' '), "def");
  EXPECT_EQ(RightFix("abc", 0, ' '), "");
  EXPECT_EQ(CentFix("ab", 5, '*'), "*ab**");
  EXPECT_EQ(CentFix("ab", 3, '*'), "ab*");
  EXPECT_EQ(CentFix("abcd", 2, '*'), "ab");
  EXPECT_EQ(FillTail("ab", 4, '-'), "ab--");
  EXPECT_EQ(FillTail("abcdef", 4, '-'), "abcd");
}

TEST(TextFields, PaddingKeepsEmbeddedNulAndHighBytes) {
  const CString text(std::string("a\0\xE4", 3));
  EXPECT_EQ(LeftFix(text, 5, '.').str(), std::string("a\0\xE4..", 5));
  EXPECT_EQ(RightFix(text, 2, '.').str(), std::string("\0\xE4", 2));
}

TEST(TextFields, DecimalAlignment) {
  EXPECT_EQ(DecimalFix("12,5", 4, 2, ","), "  12,5 ");
  EXPECT_EQ(DecimalFix("7", 3, 2, ","), "  7   ");
  EXPECT_EQ(DecimalFix("1,2345", 2, 2, ","), " 1,23");
  EXPECT_EQ(DecimalFix("3::14", 2, 3, "::"), " 3::14 ");
}

TEST(TextFields, MidAndTrimCopies) {
  EXPECT_EQ(GetMidStr("abc", 1, -1), "bc");
  EXPECT_EQ(GetMidStr("abc", 1, 1), "b");
  EXPECT_EQ(GetMidStr("abc", 1, 9), "bc");
  EXPECT_EQ(GetMidStr("abc", 3, 1), "");
  EXPECT_EQ(GetMidStr("abc", -1, 1), "");
  const CString padded(" \t a b \r\n");
  EXPECT_EQ(TrimLeft(padded), "a b \r\n");
  EXPECT_EQ(TrimRight(padded), " \t a b");
  EXPECT_EQ(padded, " \t a b \r\n");
  EXPECT_EQ(OptimSpaces("  a    b  "), "a b");
  EXPECT_EQ(OptimSpaces("a\t\tb  c"), "a\t\tb c");
}

TEST(TextFields, GetCharsAdvancesByWhatWasTaken) {
  CString out;
  int pos = 0;
  GetChars("abc  defg", out, pos, 5, 1);
  EXPECT_EQ(out, "abc");
  EXPECT_EQ(pos, 5);
  GetChars("abc  defg", out, pos, 9, 0);
  EXPECT_EQ(out, "defg");
  EXPECT_EQ(pos, 9);
  GetChars("abc  defg", out, pos, 3, 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(pos, 9);
}

TEST(TextFields, CopySubStrSplitsAtTwoCharacterSeparator) {
  CString out;
  CopySubStr("key=>value", out, 3, 0);
  EXPECT_EQ(out, "key");
  CopySubStr("key=>value", out, 3, 1);
  EXPECT_EQ(out, "value");
  CopySubStr("key=>", out, 3, 1);
  EXPECT_EQ(out, "");
}

TEST(TextFields, SkipBlanksStopsAtFirstOtherCharacter) {
  int pos = 0;
  char c = 0;
  EXPECT_TRUE(SkipBlanks("   \tx", pos, c));
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(c, '\t');
  pos = 1;
  EXPECT_FALSE(SkipBlanks("a   ", pos, c));
  EXPECT_EQ(pos, 4);
}

TEST(TextFields, ScanStringCountsOverlappingOccurrences) {
  EXPECT_EQ(ScanString("aaa", "aa"), 2);
  EXPECT_EQ(ScanString("abcabc", "bc"), 2);
  EXPECT_EQ(ScanString("abc", "x"), 0);
  EXPECT_EQ(ScanString("abc", ""), 0);
}

TEST(TextFields, CharacterTests) {
  EXPECT_TRUE(IsNumeric(""));
  EXPECT_TRUE(IsNumeric("0123456789"));
  EXPECT_FALSE(IsNumeric("12a"));
  EXPECT_FALSE(IsNumeric("-1"));
  EXPECT_FALSE(IsNumeric("1 "));
  EXPECT_TRUE(Blank(""));
  EXPECT_TRUE(Blank("   "));
  EXPECT_FALSE(Blank(" \t"));
  EXPECT_TRUE(BlankC("***", '*'));
  EXPECT_FALSE(BlankC("*-*", '*'));
  EXPECT_TRUE(Treq(" a ", "a"));
  EXPECT_TRUE(Treq("\ta b\r\n", "a b"));
  EXPECT_FALSE(Treq("A", "a"));
  EXPECT_FALSE(Treq("a  b", "a b"));
}

}  // namespace
