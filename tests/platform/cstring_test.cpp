#include <gtest/gtest.h>
#include <xtbasis/platform/cstring.h>

#include <cstring>
#include <string>

namespace {

TEST(CString, SubstringsClampLikeTheWindowsClass) {
  const CString s("Zahnarzt");
  EXPECT_EQ(s.Left(4), "Zahn");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Left(100), "Zahnarzt");
  EXPECT_EQ(s.Right(4), "arzt");
  EXPECT_EQ(s.Right(-3), "");
  EXPECT_EQ(s.Right(99), "Zahnarzt");
  EXPECT_EQ(s.Mid(4), "arzt");
  EXPECT_EQ(s.Mid(-2, 3), "Zah");
  EXPECT_EQ(s.Mid(6, 10), "zt");
  EXPECT_EQ(s.Mid(8), "");
  EXPECT_EQ(s.Mid(20, 2), "");
  EXPECT_EQ(s.Mid(2, -1), "");
}

TEST(CString, FindHonoursTheStartAndItsLimits) {
  const CString s("a,b,,c");
  EXPECT_EQ(s.Find(','), 1);
  EXPECT_EQ(s.Find(',', 2), 3);
  EXPECT_EQ(s.Find(',', 5), -1);
  EXPECT_EQ(s.Find(',', 6), -1);  // start at the end
  EXPECT_EQ(s.Find(',', -1), -1);
  EXPECT_EQ(s.Find(",,"), 3);
  EXPECT_EQ(s.Find("c", 6), -1);
  EXPECT_EQ(s.Find("", 6), 6);  // an empty text is found where the search starts
  EXPECT_EQ(s.Find("x", 7), -1);
  EXPECT_EQ(s.ReverseFind(','), 4);
  EXPECT_EQ(s.ReverseFind('x'), -1);
  EXPECT_EQ(s.FindOneOf("cb"), 2);
  EXPECT_EQ(s.FindOneOf("xyz"), -1);
}

TEST(CString, TokenizeSkipsRunsOfDelimitersAndEndsWithMinusOne) {
  const CString s("  10; 20;;30 ");
  int pos = 0;
  std::string seen;
  for (CString token = s.Tokenize("; ", pos); pos != -1; token = s.Tokenize("; ", pos)) seen += token.str() + "|";
  EXPECT_EQ(seen, "10|20|30|");

  pos = 0;
  EXPECT_EQ(CString(";;;").Tokenize(";", pos), "");
  EXPECT_EQ(pos, -1);

  // Without delimiters the rest is one token, and the next call ends.
  pos = 2;
  const CString rest("abcdef");
  EXPECT_EQ(rest.Tokenize("", pos), "cdef");
  EXPECT_EQ(rest.Tokenize("", pos), "");
  EXPECT_EQ(pos, -1);

  pos = 99;
  EXPECT_EQ(rest.Tokenize(",", pos), "");
  EXPECT_EQ(pos, -1);
}

TEST(CString, ReplaceRemoveInsertDeleteReportTheirCounts) {
  CString s("aXbXXc");
  EXPECT_EQ(s.Replace('X', '-'), 3);
  EXPECT_EQ(s, "a-b--c");
  EXPECT_EQ(s.Replace('-', '-'), 0);
  EXPECT_EQ(s.Replace("--", "="), 1);
  EXPECT_EQ(s, "a-b=c");
  EXPECT_EQ(s.Replace("", "zz"), 0);
  EXPECT_EQ(s.Replace("-", ""), 1);
  EXPECT_EQ(s, "ab=c");

  CString overlap("aaaa");
  EXPECT_EQ(overlap.Replace("aa", "a"), 2);  // matches do not overlap
  EXPECT_EQ(overlap, "aa");

  CString r("Mississippi");
  EXPECT_EQ(r.Remove('s'), 4);
  EXPECT_EQ(r, "Miiippi");

  CString i("ac");
  EXPECT_EQ(i.Insert(1, 'b'), 3);
  EXPECT_EQ(i.Insert(-5, "<"), 4);
  EXPECT_EQ(i.Insert(99, ">"), 5);
  EXPECT_EQ(i, "<abc>");
  EXPECT_EQ(i.Delete(1, 2), 3);
  EXPECT_EQ(i, "<c>");
  EXPECT_EQ(i.Delete(2, 50), 2);
  EXPECT_EQ(i.Delete(9), 2);
  EXPECT_EQ(i.Delete(-1, 1), 1);
  EXPECT_EQ(i, "c");
}

TEST(CString, TrimWithAndWithoutSets) {
  CString s(" \t\r\n Wert \v\f");
  EXPECT_EQ(s.Trim(), "Wert");
  CString zeros("000120");
  EXPECT_EQ(zeros.TrimLeft('0'), "120");
  EXPECT_EQ(zeros.TrimRight('0'), "12");
  CString marks("*-*x-y*-");
  EXPECT_EQ(marks.Trim("*-"), "x-y");
  CString all("----");
  EXPECT_EQ(all.Trim('-'), "");
  CString right("ab  ");
  EXPECT_EQ(right.TrimLeft(), "ab  ");
  EXPECT_EQ(right.TrimRight(), "ab");
}

TEST(CString, CaseMappingFollowsCodePage1252) {
  // ä ö ü ß Ä Ö Ü, š/Š, œ/Œ, ž/Ž, ÿ/Ÿ, µ; the multiplication sign stays.
  CString s("\xE4\xF6\xFC\xDF \x9A\x9C\x9E\xFF \xB5 \xF7 abc");
  s.MakeUpper();
  EXPECT_EQ(s, "\xC4\xD6\xDC\xDF \x8A\x8C\x8E\x9F \xB5 \xF7 ABC");
  s.MakeLower();
  EXPECT_EQ(s, "\xE4\xF6\xFC\xDF \x9A\x9C\x9E\xFF \xB5 \xF7 abc");
  EXPECT_EQ(CString("M\xDCLLER").CompareNoCase("m\xFCller"), 0);
  EXPECT_LT(CString("\xC4rger").CompareNoCase("\xE4rgerlich"), 0);
  EXPECT_GT(CString("b").Compare("a"), 0);
  EXPECT_GT(CString("\xE4").Compare("z"), 0);  // bytes compare unsigned
}

TEST(CString, EmbeddedNulBytesAreKept) {
  const char raw[] = {'a', '\0', 'b', 'c'};
  CString s(raw, 4);
  EXPECT_EQ(s.GetLength(), 4);
  EXPECT_EQ(s.Find('b'), 2);
  EXPECT_EQ(s.Mid(1).GetLength(), 3);
  CString copy = s + CString("\0d", 2);
  EXPECT_EQ(copy.GetLength(), 6);
  EXPECT_EQ(copy.GetAt(4), '\0');
  EXPECT_NE(s, CString("a"));
  EXPECT_EQ(s.Replace('\0', '_'), 1);
  EXPECT_EQ(s, "a_bc");
}

TEST(CString, FormatAndAppendFormatGrowBeyondSmallBuffers) {
  CString s;
  s.Format("%s-%05d-%.2f", "Nr", 42, 1.5);
  EXPECT_EQ(s, "Nr-00042-1.50");
  s.AppendFormat("|%x", 255u);
  EXPECT_EQ(s, "Nr-00042-1.50|ff");
  const std::string big(5000, 'z');
  s.Format("<%s>", big.c_str());
  EXPECT_EQ(s.GetLength(), 5002);
  EXPECT_EQ(s.Right(2), "z>");
  s.AppendFormat("%s", big.c_str());
  EXPECT_EQ(s.GetLength(), 10002);
  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, GetBufferAndReleaseBuffer) {
  CString s("abc");
  char* p = s.GetBuffer(10);
  std::strcpy(p, "Zahnarzt");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "Zahnarzt");
  EXPECT_EQ(s.GetLength(), 8);

  p = s.GetBuffer(2);  // shorter than the text: the text stays
  EXPECT_EQ(std::string(p), "Zahnarzt");
  s.ReleaseBuffer(4);
  EXPECT_EQ(s, "Zahn");

  p = s.GetBufferSetLength(6);
  std::memcpy(p, "ab\0def", 6);
  s.ReleaseBuffer(6);  // an explicit length keeps the NUL
  EXPECT_EQ(s.GetLength(), 6);
  s.GetBuffer();
  s.ReleaseBuffer(-1);  // -1 stops at the first NUL
  EXPECT_EQ(s, "ab");

  s.Truncate(1);
  EXPECT_EQ(s, "a");
  s.Truncate(5);
  EXPECT_EQ(s, "a");
}

TEST(CString, ConstructionAndComparisonOperators) {
  EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_EQ(CString('x', 3), "xxx");
  EXPECT_EQ(CString('x', -1), "");
  EXPECT_EQ(CString("abc", -2), "");
  EXPECT_EQ(CString("abcdef", 2), "ab");
  EXPECT_TRUE(CString("a") < "b");
  EXPECT_TRUE("b" > CString("a"));
  EXPECT_TRUE(CString("a") <= CString("a"));
  EXPECT_EQ("pre" + CString("fix") + '!', "prefix!");
  EXPECT_EQ(CString("Zahn").SpanIncluding("Zah"), "Zah");
  EXPECT_EQ(CString("Zahn").SpanExcluding("hn"), "Za");
  CString reversed("abc");
  EXPECT_EQ(reversed.MakeReverse(), "cba");
}

}  // namespace
