#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

#include <xtbasis/textfields.h>
#include <xtbasis/textfilters.h>
#include <xtbasis/textformats.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

namespace {

// glibc's iconv converts one character at a time; nullopt when it rejects it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string src = in;
  std::string out(16, '\0');
  char* inp = src.data();
  size_t inLeft = src.size();
  char* outp = out.data();
  size_t outLeft = out.size();
  const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || r > 0) return std::nullopt;  // r > 0: a non-reversible guess
  out.resize(out.size() - outLeft);
  return out;
}

TEST(Splitting, FieldsAndTrailingSeparators) {
  std::vector<CString> list{"keep"};
  SeparatedStrToVec("a,,b,", ',', list, false);
  EXPECT_EQ(list, (std::vector<CString>{"keep", "a", "", "b"}));
  list.clear();
  SeparatedStrToVec("a,,b,", ',', list, true);
  EXPECT_EQ(list, (std::vector<CString>{"a", "", "b", ""}));
  list.clear();
  SeparatedStrToVec("", ',', list, true);
  EXPECT_TRUE(list.empty());
  SeparatedStrToVec("abc", ',', list, false);
  EXPECT_EQ(list, (std::vector<CString>{"abc"}));
  list.clear();
  SeparatedStrToVec1("a::b:c", "::", list, false);
  EXPECT_EQ(list, (std::vector<CString>{"a", "b:c"}));
  list.clear();
  CopyData2StrVec("\x1F", list);
  EXPECT_EQ(list, (std::vector<CString>{"", ""}));
  list.clear();
  CopyData2StrVec("", list);
  EXPECT_EQ(list.size(), 1u);
}

TEST(Joining, AvoidsDoubleSeparator) {
  EXPECT_EQ(SCatS("a,", "b", ",", true), "a,b");
  EXPECT_EQ(SCatS("a", ",b", ",", true), "a,b");
  EXPECT_EQ(SCatS("a,", "b", ",", false), "a,,b");
  EXPECT_EQ(SCatS("a", "b", ",", false), "a,b");
  EXPECT_EQ(SCatS("", "b", ",", true), "b");
  EXPECT_EQ(SCatS("a", "", ",", false), "a");
  EXPECT_EQ(SCatS("a", "b", "", true), "ab");
}

TEST(CodePages, EveryAnsiByteAgainstIconv) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const CString utf8 = AnsiToUTF8(CString(one));
    if (const auto peer = Iconv("UTF-8", "CP1252", one)) {
      EXPECT_EQ(utf8.str(), *peer) << "byte " << b;
    }
    EXPECT_EQ(UTF8ToAnsi(utf8).str(), one) << "round trip of byte " << b;  // also the five unassigned bytes
  }
}

// Where both code pages have the character, the OEM conversions agree with
// iconv and undo each other (the best fits are checked in windows_tables_test).
TEST(CodePages, SharedOemCharactersAgainstIconv) {
  int shared = 0;
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const auto peer = Iconv("CP850", "CP1252", one);
    if (!peer) continue;
    ++shared;
    CString text(one.c_str(), 1);
    Ansi2Ascii(text);
    EXPECT_EQ(text.str(), *peer) << "byte " << b;
    Ascii2Ansi(text);
    EXPECT_EQ(text.str(), one) << "round trip of byte " << b;
  }
  EXPECT_EQ(shared, 128 + 96 + 1);  // ASCII, 0xA0..0xFF and f with hook
}

TEST(CodePages, Utf8ToAnsiReplacesWhatAnsiLacks) {
  const std::string euros = [] { std::string s; for (int i = 0; i < 10; ++i) s += "\xE2\x82\xAC"; return s; }();
  EXPECT_EQ(AnsiToUTF8(CString(std::string(10, '\x80'))).str(), euros);
  EXPECT_EQ(UTF8ToAnsi(CString(euros)).str(), std::string(10, '\x80'));
  EXPECT_EQ(UTF8ToAnsi("\xE2\x82").str(), "??");                  // cut sequence
  EXPECT_EQ(UTF8ToAnsi("a\xC3(b").str(), "a?(b");                  // lead byte without continuation
  EXPECT_EQ(UTF8ToAnsi("\xC0\xAF").str(), "??");                   // overlong '/'
  EXPECT_EQ(UTF8ToAnsi("\xED\xA0\x80").str(), "???");              // surrogate
  EXPECT_EQ(UTF8ToAnsi("\xD0\x96\xF0\x9F\x98\x80").str(), "??");   // Cyrillic, emoji
  EXPECT_EQ(UTF8ToAnsi("\xC5\xA0\xE2\x84\xA2").str(), "\x8A\x99"); // Š ™
  EXPECT_TRUE(AnsiToUTF8("").IsEmpty());
  EXPECT_EQ(AnsiToUTF8(CString("a\0b", 3)).GetLength(), 3);       // embedded NUL kept
}

TEST(PercentEncoding, ReservedAndHighBytes) {
  EXPECT_EQ(PercentEncode("a b&c"), "a+b%26c");
  EXPECT_EQ(PercentEncode("\xE4"), "%C3%A4");
  EXPECT_EQ(PercentEncode(":/?#[]@!$&'()*+,;=%"),
            "%3A%2F%3F%23%5B%5D%40%21%24%26%27%28%29%2A%2B%2C%3B%3D%25");
  EXPECT_EQ(PercentEncode("a-._~\"<"), "a-._~\"<");
}

TEST(Printable, ModesAndInsertions) {
  CString t = "Sm\xF8rrebr\xF8" "d";
  EXPECT_EQ(OemToPrintableOem(t, 0), 12);
  EXPECT_EQ(t, "Smoerrebroed");
  t = "Stra\xDF" "e\t\xA4";
  OemToPrintableOem(t, 0);
  EXPECT_EQ(t, "Stra\xDF" "e EUR");
  t = "\xC6\xE3\xF5\xFA\xB0@[";
  OemToPrintableOem(t, 0);
  EXPECT_EQ(t, "AEaou a(");
  t = "\xC6\xE3\xF5\xFA\xB0@[";
  OemToPrintableOem(t, 1);
  EXPECT_EQ(t, "\xC6\xE4\xF6\xFA\xB0@[");
  t = "\xC6\xE3\xF5\xFA\xB0@[";
  OemToPrintableOem(t, 2);
  EXPECT_EQ(t, "\xC6" "aov\xB0@[");
  t = "\xC6\x9F\x7F\xA0\x81{";
  EXPECT_EQ(OemToPrintableOem(t, 3), 6);
  EXPECT_EQ(t, "\xC6    {");
}

TEST(Printable, OnlyPrintableBytesRemainForEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (int mode = 0; mode <= 3; ++mode) {
    CString t(all);
    const int length = OemToPrintableOem(t, mode);
    EXPECT_EQ(length, t.GetLength());
    if (mode == 3)
      EXPECT_EQ(length, 256);  // only blanks replace bytes
    else
      EXPECT_GT(length, 256);  // EUR, +/- and the ligatures grow the text
    for (const char c : t.str()) {
      const auto b = static_cast<unsigned char>(c);
      EXPECT_FALSE(b < 0x20 || b == 0x7F || (b >= 0x80 && b <= 0xA0)) << "mode " << mode << " byte " << int(b);
    }
  }
}

TEST(Filters, LineBreaksLettersDigits) {
  CString t = "a\r\nb\n";
  RemoveCRLF(t);
  EXPECT_EQ(t, "a b ");
  t = "x\n\ry\rz";
  RemoveCRLF(t);
  EXPECT_EQ(t, "x y z");
  EXPECT_EQ(GetDigit("Tel. 0221/123"), "0221123");
  EXPECT_EQ(GetAlNum("M\xFC" "ller-L\xFC" "denscheid 12!"), "M\xFC" "llerL\xFC" "denscheid12");
  t = "abc";
  ReserveString(t, 1000);
  EXPECT_EQ(t, "abc");
  EXPECT_GE(t.str().capacity(), 1000u);
}

}  // namespace
