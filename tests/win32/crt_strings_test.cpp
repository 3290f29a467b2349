// The runtime's string calls as Windows documents them: the checked copies
// empty their buffer and return the error when it is too small, the printf
// forms count and cut as each one does, and the 1252 case rules hold.
#include <windows.h>
#include <tchar.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

TEST(CheckedCopies, FitTruncateOrEmptyTheBuffer) {
  char small[5] = "abcd";
  EXPECT_EQ(strcpy_s(small, "wxyz"), 0);
  EXPECT_STREQ(small, "wxyz");
  char guarded[8] = "1234567";
  errno = 0;
  EXPECT_EQ(strcpy_s(guarded, 5, "hello"), ERANGE);  // five characters need six bytes
  EXPECT_EQ(errno, ERANGE);
  EXPECT_EQ(guarded[0], '\0');
  EXPECT_STREQ(guarded + 1, "234567");  // nothing written past the size given

  char buffer[6] = "ab";
  EXPECT_EQ(strcat_s(buffer, "cde"), 0);
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_EQ(strcat_s(buffer, "f"), ERANGE);
  EXPECT_STREQ(buffer, "");

  EXPECT_EQ(strncpy_s(buffer, "abcdefgh", 3), 0);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(strncpy_s(buffer, "abcdefgh", _TRUNCATE), STRUNCATE);
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_EQ(strncpy_s(buffer, "abcdefgh", 6), ERANGE);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(strncpy_s(nullptr, 0, nullptr, 0), 0);  // the one call with nothing to do

  strcpy_s(buffer, "ab");
  EXPECT_EQ(strncat_s(buffer, "cdefg", 2), 0);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(strncat_s(buffer, "xyz", _TRUNCATE), STRUNCATE);
  EXPECT_STREQ(buffer, "abcdx");
}

TEST(CheckedCopies, RefuseNullAndUnendedTexts) {
  char buffer[4] = "abc";
  EXPECT_EQ(strcpy_s(buffer, sizeof buffer, nullptr), EINVAL);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(strcpy_s(nullptr, 4, "a"), EINVAL);
  EXPECT_EQ(strcpy_s(buffer, 0, "a"), EINVAL);
  char unended[3] = {'a', 'b', 'c'};
  EXPECT_EQ(strcat_s(unended, "d"), EINVAL);
  EXPECT_EQ(unended[0], '\0');
  char upper[3] = {'a', 'b', 'c'};
  EXPECT_EQ(_strupr_s(upper), EINVAL);
}

int g_handlerCalls = 0;
void CountingHandler(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int, uintptr_t) { ++g_handlerCalls; }

TEST(CheckedCopies, CallTheProgramsInvalidParameterHandler) {
  g_handlerCalls = 0;
  const _invalid_parameter_handler before = _set_invalid_parameter_handler(CountingHandler);
  char buffer[2];
  EXPECT_EQ(strcpy_s(buffer, "long"), ERANGE);
  EXPECT_EQ(sprintf_s(buffer, "%d", 100), -1);
  EXPECT_EQ(strcpy_s(buffer, "a"), 0);
  EXPECT_EQ(g_handlerCalls, 2);
  EXPECT_EQ(_set_invalid_parameter_handler(before), &CountingHandler);
}

TEST(FormattedText, TakesWhatCStringFormatTakes) {
  char buffer[64];
  const CString name("M\xFCller");
  const std::string city = "K\xF6ln";
  EXPECT_EQ(sprintf_s(buffer, "%s in %s: %I64d, %ld", name, city, -9000000000LL, static_cast<LONG>(-1)), 31);
  EXPECT_STREQ(buffer, "M\xFCller in K\xF6ln: -9000000000, -1");
  EXPECT_EQ(_stprintf_s(buffer, _T("%05.1f|%-3s|%x"), 3.14159, _T("a"), 255u), 12);
  EXPECT_STREQ(buffer, "003.1|a  |ff");
  EXPECT_EQ(_scprintf("%s-%d", name, 42), 9);
}

TEST(FormattedText, EachFormCountsAndCutsItsOwnWay) {
  char buffer[8];
  // sprintf_s: all or the empty text.
  EXPECT_EQ(sprintf_s(buffer, "%s", "1234567"), 7);
  EXPECT_EQ(sprintf_s(buffer, "%s", "12345678"), -1);
  EXPECT_STREQ(buffer, "");
  // _snprintf: at most count characters; the NUL only when there is room.
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(_snprintf(buffer, 4, "%s", "abc"), 3);
  EXPECT_STREQ(buffer, "abc");
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(_snprintf(buffer, 4, "%s", "abcd"), 4);
  EXPECT_EQ(std::string(buffer, 5), "abcd#");
  EXPECT_EQ(_snprintf(buffer, 4, "%s", "abcdef"), -1);
  EXPECT_EQ(std::string(buffer, 5), "abcd#");
  EXPECT_EQ(_snprintf(nullptr, 0, "%d", 12345), 5);
  // _snprintf_s: always ended; _TRUNCATE cuts to the buffer.
  EXPECT_EQ(_snprintf_s(buffer, _TRUNCATE, "%s", "0123456789"), -1);
  EXPECT_STREQ(buffer, "0123456");
  EXPECT_EQ(_snprintf_s(buffer, 3, "%s", "0123456789"), -1);
  EXPECT_STREQ(buffer, "012");
  EXPECT_EQ(_snprintf_s(buffer, 2, "%d", 7), 1);
  EXPECT_EQ(_snprintf_s(buffer, 8, "%s", "01234567"), -1);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(sprintf_s(buffer, nullptr), -1);
  EXPECT_EQ(errno, EINVAL);
}

TEST(FormattedText, ConsoleFormsPrintACStringThroughPercentS) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  const CString patient("Schr\xF6" "der");
  EXPECT_EQ(_ftprintf(stream, _T("%s: %d Z\xE4hne\n"), patient, 28), 19);
  EXPECT_EQ(_ftprintf(stream, nullptr), -1);
  std::rewind(stream);
  char line[32] = {};
  ASSERT_NE(std::fgets(line, sizeof line, stream), nullptr);
  EXPECT_STREQ(line, "Schr\xF6" "der: 28 Z\xE4hne\n");
  std::fclose(stream);
  testing::internal::CaptureStdout();
  EXPECT_EQ(_tprintf(_T("%s|%I64d"), std::string("x"), 5LL), 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "x|5");
}

int ViaVaList(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = vsprintf_s(buffer, size, format, args);
  va_end(args);
  return written;
}

TEST(FormattedText, VaListFormsReadTheFormatsTypes) {
  char buffer[16];
  EXPECT_EQ(ViaVaList(buffer, sizeof buffer, "%I64u/%s", 18446744073709551615ULL, "x"), -1);  // 22 characters do not fit
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ViaVaList(buffer, sizeof buffer, "%I64x-%c", 0xABCDEF0123ULL, 'z'), 12);
  EXPECT_STREQ(buffer, "abcdef0123-z");
}

TEST(CaseCalls, FoldToLowerCaseOnCodePage1252) {
  EXPECT_EQ(_stricmp("ABC", "abc"), 0);
  EXPECT_LT(_stricmp("_", "a"), 0);  // folded to lower case: '_' (0x5F) before 'a'
  EXPECT_LT(_stricmp("_", "A"), 0);  // upper-case folding would put '_' after 'A'
  EXPECT_EQ(_stricmp("\xC4RGER", "\xE4rger"), 0);
  EXPECT_EQ(_tcsnicmp(_T("Stra\xDF" "E"), _T("STRA\xDF" "x"), 5), 0);
  EXPECT_NE(_strnicmp("abc", "abd", 3), 0);
  EXPECT_LT(_strcmpi("ab", "abc"), 0);
  char text[] = "m\xFCller & \xE6";
  EXPECT_EQ(_strupr(text), text);
  EXPECT_STREQ(text, "M\xDCLLER & \xC6");
  EXPECT_STREQ(_tcslwr(text), "m\xFCller & \xE6");
  char reversed[] = "abcde";
  EXPECT_STREQ(_strrev(reversed), "edcba");
  char* copy = _tcsdup(_T("dup"));
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "dup");
  std::free(copy);
  EXPECT_EQ(_strdup(nullptr), nullptr);
}

TEST(NumberText, RadixSignAndWidthAsTheRuntimeWritesThem) {
  char buffer[70];
  EXPECT_STREQ(_itoa(-255, buffer, 10), "-255");
  EXPECT_STREQ(_itoa(-1, buffer, 16), "ffffffff");  // 32 bits, no sign outside radix 10
  EXPECT_STREQ(_ltoa(-2, buffer, 2), "11111111111111111111111111111110");
  EXPECT_STREQ(_ultoa(4294967295u, buffer, 36), "1z141z3");
  EXPECT_STREQ(_i64toa(-1, buffer, 16), "ffffffffffffffff");
  EXPECT_STREQ(_i64toa(INT64_MIN, buffer, 10), "-9223372036854775808");
  EXPECT_STREQ(_ui64toa(UINT64_MAX, buffer, 2), std::string(64, '1').c_str());
  EXPECT_STREQ(_itot(0, buffer, 7), "0");
  EXPECT_STREQ(_itoa(5, buffer, 37), "");
  EXPECT_EQ(errno, EINVAL);
  char small[4];
  EXPECT_EQ(_itoa_s(1000, small, 10), ERANGE);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(_itoa_s(-99, small, 10), 0);
  EXPECT_STREQ(small, "-99");
  EXPECT_EQ(_atoi64("  -9000000000x"), -9000000000LL);
  EXPECT_EQ(_atoi64("99999999999999999999"), INT64_MAX);
  EXPECT_EQ(_strtoui64("ff", nullptr, 16), 255u);
  EXPECT_EQ(_countof(buffer), 70u);
}

}  // namespace
