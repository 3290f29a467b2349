// The formatter behind CString::Format and the trace: byte equality with
// snprintf for the C library's own forms, the Windows runtime's forms with
// their Windows results, and what the typed arguments change.
#include <gtest/gtest.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <string>

#include "format.h"

namespace {

template <class... Args>
std::string Typed(const char* format, const Args&... args) {
  const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
  std::string out;
  xtb::AppendFormatted(out, format, list, sizeof...(Args));
  return out;
}

std::string ThroughVaList(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out;
  xtb::AppendFormattedV(out, format, args);
  va_end(args);
  return out;
}

template <class... Args>
std::string Snprintf(const char* format, const Args&... args) {
  char buffer[4096];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  return n < 0 ? std::string("<error>") : std::string(buffer, static_cast<size_t>(n));
}

// Both ways in against snprintf with the same argument.
template <class Arg>
void ExpectLikeSnprintf(const std::string& format, const Arg& arg) {
  const std::string expected = Snprintf(format.c_str(), arg);
  EXPECT_EQ(Typed(format.c_str(), arg), expected) << "typed " << format;
  EXPECT_EQ(ThroughVaList(format.c_str(), arg), expected) << "va_list " << format;
}

const char* const kIntegerFlags[] = {"", "-", "+", " ", "#", "0", "-0", "+0", "#0", "- ", "+#", " 0"};
const char* const kWidths[] = {"", "1", "5", "12"};
const char* const kPrecisions[] = {"", ".", ".0", ".1", ".3", ".15"};

std::string Conversion(const char* flags, const char* width, const char* precision, const char* rest) {
  return std::string("<%") + flags + width + precision + rest + ">";
}

TEST(Formatter, IntegersMatchSnprintfOverFlagsWidthsAndPrecisions) {
  const int ints[] = {0, 1, -1, 42, -42, 7, INT32_MAX, INT32_MIN, 100000};
  const long long longs[] = {0, -1, INT64_MAX, INT64_MIN, 1234567890123LL};
  for (const char* flags : kIntegerFlags)
    for (const char* width : kWidths)
      for (const char* precision : kPrecisions) {
        for (const char* conversion : {"d", "i", "u", "o", "x", "X"}) {
          for (int value : ints) ExpectLikeSnprintf(Conversion(flags, width, precision, conversion), value);
          for (long long value : longs)
            ExpectLikeSnprintf(Conversion(flags, width, precision, (std::string("ll") + conversion).c_str()), value);
        }
        ExpectLikeSnprintf(Conversion(flags, width, precision, "hd"), 70000);
        ExpectLikeSnprintf(Conversion(flags, width, precision, "hhu"), 300);
        ExpectLikeSnprintf(Conversion(flags, width, precision, "zu"), size_t{123456});
        ExpectLikeSnprintf(Conversion(flags, width, precision, "jd"), intmax_t{-99});
      }
}

TEST(Formatter, TextsCharactersAndPointersMatchSnprintf) {
  const char* const texts[] = {"", "a", "Gr\xFC\xDF Gott", "0123456789abcdef"};
  const void* const pointers[] = {nullptr, reinterpret_cast<const void*>(0x1234), reinterpret_cast<const void*>(~uintptr_t{0})};
  for (const char* flags : kIntegerFlags)
    for (const char* width : kWidths) {
      for (const char* precision : kPrecisions) {
        for (const char* text : texts) ExpectLikeSnprintf(Conversion(flags, width, precision, "s"), text);
        ExpectLikeSnprintf(Conversion(flags, width, precision, "s"), static_cast<const char*>(nullptr));
        for (const void* pointer : pointers) ExpectLikeSnprintf(Conversion(flags, width, precision, "p"), pointer);
      }
      ExpectLikeSnprintf(Conversion(flags, width, "", "c"), 'x');
      ExpectLikeSnprintf(Conversion(flags, width, "", "%"), 0);
    }
}

TEST(Formatter, FloatingPointMatchesSnprintfInTheUsersLocale) {
  const char* const saved = std::setlocale(LC_NUMERIC, nullptr);
  const std::string restore = saved ? saved : "C";
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  const double values[] = {0.0, -0.0, 1.5, -2.25, 1e-7, 123456789.125, 1e300, 1.0 / 0.0, 0.0 / 0.0};
  for (const char* flags : kIntegerFlags)
    for (const char* width : kWidths)
      for (const char* precision : kPrecisions)
        for (const char* conversion : {"f", "F", "e", "E", "g", "G", "a", "A"})
          for (double value : values) ExpectLikeSnprintf(Conversion(flags, width, precision, conversion), value);
  ExpectLikeSnprintf("%Lf", 2.5L);
  ExpectLikeSnprintf("%-+12.3Le", -2.5L);
  if (german) {
    EXPECT_EQ(Typed("%.2f", 1.5), "1,50");
  }
  std::setlocale(LC_NUMERIC, restore.c_str());
}

TEST(Formatter, StarsLiteralsAndMultipleArguments) {
  EXPECT_EQ(Typed("[%*d|%-*.*s]", 6, 42, 8, 3, "abcdef"), Snprintf("[%*d|%-*.*s]", 6, 42, 8, 3, "abcdef"));
  EXPECT_EQ(ThroughVaList("[%*d|%.*f]", -6, 42, -1, 0.5), Snprintf("[%*d|%.*f]", -6, 42, -1, 0.5));
  EXPECT_EQ(Typed("100%% sicher, %s: %d von %u", "Zahn", 18, 32u), "100% sicher, Zahn: 18 von 32");
  EXPECT_EQ(Typed("no conversion at all"), "no conversion at all");
  const std::string longText(1000, 'z');
  EXPECT_EQ(Typed("%s|%2000d", longText.c_str(), 5), Snprintf("%s|%2000d", longText.c_str(), 5));
}

// The Windows runtime's results, as a program of the suite printed them there.
TEST(Formatter, WindowsFormsGiveTheirWindowsResults) {
  const __int64 big = -1234567890123LL;
  const ULONGLONG huge = 0xFEDCBA9876543210ULL;
  EXPECT_EQ(Typed("%I64d|%I64u|%I64x|%I64X", big, huge, huge, huge),
            "-1234567890123|18364758544493064720|fedcba9876543210|FEDCBA9876543210");
  EXPECT_EQ(ThroughVaList("%I64d|%I64u|%I64x|%I64X", big, huge, huge, huge),
            "-1234567890123|18364758544493064720|fedcba9876543210|FEDCBA9876543210");
  EXPECT_EQ(Typed("%I32d|%I32u|%Id|%Iu", -5, 4000000000u, static_cast<ptrdiff_t>(-7), size_t{1} << 40),
            "-5|4000000000|-7|1099511627776");
  EXPECT_EQ(ThroughVaList("%I32d|%Id", -5, static_cast<ptrdiff_t>(-7)), "-5|-7");
  EXPECT_EQ(Typed("[%hs|%ls|%S|%ws|%10.3S]", "eng", L"wide \u00fc\u20ac\u4e2d", L"S", L"ws", L"abcdef"),
            "[eng|wide \xFC\x80?|S|ws|       abc]");
  EXPECT_EQ(ThroughVaList("[%hs|%S|%C|%lc]", "eng", L"\u00e4", L'\u00df', L'\u20ac'), "[eng|\xE4|\xDF|\x80]");
  EXPECT_EQ(Typed("%ls", u"utf16 \u00f6 \U0001F600"), "utf16 \xF6 ?");
}

TEST(Formatter, ThirtyTwoBitWindowsLongsReadAsThirtyTwoBits) {
  const LONG minusOne = -1;
  const DWORD allBits = 0xFFFFFFFFu;
  const ULONG big = 3000000000u;
  EXPECT_EQ(Typed("%ld|%lu|%lx|%lX|%li", minusOne, allBits, minusOne, allBits, minusOne),
            "-1|4294967295|ffffffff|FFFFFFFF|-1");
  EXPECT_EQ(Typed("%lu|%ld", big, big), "3000000000|-1294967296");
  // A 64-bit long of this platform keeps all its bits, as printf reads it.
  EXPECT_EQ(Typed("%ld|%lx", -1L, -1L), Snprintf("%ld|%lx", -1L, -1L));
  // %d of a 64-bit value reads 32 bits, as both runtimes do.
  EXPECT_EQ(Typed("%d|%u", 0x100000005LL, 0x1FFFFFFFFULL), "5|4294967295");
}

TEST(Formatter, TypedArgumentsShowTheirTextAndTolerateMismatches) {
  const CString name("M\xFCller");
  const std::string code("X7");
  const std::string_view part = std::string_view("abcdef").substr(1, 3);
  EXPECT_EQ(Typed("%s-%s-%s-%.2s", name, code, part, name), "M\xFCller-X7-bcd-M\xFC");
  EXPECT_EQ(Typed("%d|%.1f|%s|%c", 2.9, 3, 7, 'q'), "2|3.0||q");
  EXPECT_EQ(Typed("%s|%d|%s", "only one"), "only one||");
  enum Tooth { kFirst = 11 };
  enum class Jaw : unsigned char { upper = 1 };
  EXPECT_EQ(Typed("%d %u %d", kFirst, Jaw::upper, true), "11 1 1");
  EXPECT_EQ(Typed("%p", nullptr), "(nil)");
}

TEST(Formatter, UndefinedFormsAreDefinedAndHarmless) {
  int untouched = 77;
  EXPECT_EQ(Typed("a%nb", &untouched), "ab");
  EXPECT_EQ(untouched, 77);
  EXPECT_EQ(ThroughVaList("a%nb", &untouched), "ab");
  EXPECT_EQ(untouched, 77);
  EXPECT_EQ(Typed("%y|%1$d|%5k", 1), "%y|%1$d|%5k");
  EXPECT_EQ(Typed("end%", 1), "end");
  EXPECT_EQ(Typed("end%-5l", 1), "end");
  std::string out = "kept";
  xtb::AppendFormatted(out, nullptr, nullptr, 0);
  EXPECT_EQ(out, "kept");
}

TEST(Formatter, CStringFormatSeesItsOwnTextAsArgument) {
  CString s("abc");
  s.Format("<%s|%s>", s, s.GetString());
  EXPECT_EQ(s, "<abc|abc>");
  s.AppendFormat("%s%s", s, s);
  EXPECT_EQ(s, "<abc|abc><abc|abc><abc|abc>");
  CString n;
  n.Format("%s=%ld", CString("Anzahl"), static_cast<LONG>(-3));
  EXPECT_EQ(n, "Anzahl=-3");
}

}  // namespace
