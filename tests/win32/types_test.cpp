// Windows' basic helpers as a ported program calls them: file times against
// known moments, MulDiv's rounding and overflow, and the 1252 text calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>

namespace {

ULONGLONG Ticks(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return value.QuadPart;
}

FILETIME FileTimeOf(ULONGLONG ticks) {
  ULARGE_INTEGER value;
  value.QuadPart = ticks;
  return FILETIME{value.u.LowPart, value.u.HighPart};
}

TEST(FileTimes, KnownMomentsConvertBothWays) {
  struct Moment {
    SYSTEMTIME time;
    ULONGLONG ticks;
  };
  // 1601-01-01 (the origin, a Monday), 1970-01-01 (a Thursday), 2000-02-29
  // 12:34:56.789 (a Tuesday), 2100-03-01 (a Monday, after a February of 28 days).
  const Moment moments[] = {
      {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
      {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ULL},
      {{2000, 2, 2, 29, 12, 34, 56, 789}, 125963012967890000ULL},
      {{2100, 3, 1, 1, 0, 0, 0, 0}, 157520160000000000ULL},
  };
  for (const Moment& m : moments) {
    FILETIME file{};
    ASSERT_TRUE(SystemTimeToFileTime(&m.time, &file)) << m.time.wYear;
    EXPECT_EQ(Ticks(file), m.ticks) << m.time.wYear;
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&file, &back));
    EXPECT_EQ(back.wYear, m.time.wYear);
    EXPECT_EQ(back.wMonth, m.time.wMonth);
    EXPECT_EQ(back.wDay, m.time.wDay);
    EXPECT_EQ(back.wDayOfWeek, m.time.wDayOfWeek) << m.time.wYear;
    EXPECT_EQ(back.wHour, m.time.wHour);
    EXPECT_EQ(back.wMinute, m.time.wMinute);
    EXPECT_EQ(back.wSecond, m.time.wSecond);
    EXPECT_EQ(back.wMilliseconds, m.time.wMilliseconds);
  }
}

TEST(FileTimes, EveryDayOfFourCenturiesRoundTripsThroughTheCalendar) {
  // Days from 1900 to 2300 include the century years that are and are not leap years.
  SYSTEMTIME start{1900, 1, 1, 1, 6, 0, 0, 0};
  FILETIME file{};
  ASSERT_TRUE(SystemTimeToFileTime(&start, &file));
  const ULONGLONG day = 864000000000ULL;
  SYSTEMTIME previous{};
  ASSERT_TRUE(FileTimeToSystemTime(&file, &previous));
  for (int i = 1; i < 146097; ++i) {
    const FILETIME next = FileTimeOf(Ticks(file) + day * static_cast<ULONGLONG>(i));
    SYSTEMTIME parts{};
    ASSERT_TRUE(FileTimeToSystemTime(&next, &parts));
    const bool sameMonth = parts.wMonth == previous.wMonth && parts.wDay == previous.wDay + 1;
    const bool nextMonth = parts.wDay == 1 && (parts.wMonth == previous.wMonth % 12 + 1);
    ASSERT_TRUE(sameMonth || nextMonth) << parts.wYear << "-" << parts.wMonth << "-" << parts.wDay;
    ASSERT_EQ(parts.wDayOfWeek, (previous.wDayOfWeek + 1) % 7);
    FILETIME again{};
    ASSERT_TRUE(SystemTimeToFileTime(&parts, &again));
    ASSERT_EQ(Ticks(again), Ticks(next));
    previous = parts;
  }
}

TEST(FileTimes, PartsOutOfRangeAndHugeValuesAreRefused) {
  const SYSTEMTIME bad[] = {
      {1900, 2, 0, 29, 0, 0, 0, 0},  // 1900 is no leap year
      {2023, 13, 0, 1, 0, 0, 0, 0},  {2023, 4, 0, 31, 0, 0, 0, 0}, {1600, 12, 0, 31, 0, 0, 0, 0},
      {2023, 1, 0, 1, 24, 0, 0, 0},  {2023, 1, 0, 1, 0, 60, 0, 0}, {2023, 1, 0, 1, 0, 0, 0, 1000},
  };
  for (const SYSTEMTIME& time : bad) {
    FILETIME file{};
    SetLastError(0);
    EXPECT_FALSE(SystemTimeToFileTime(&time, &file)) << time.wYear << "-" << time.wMonth << "-" << time.wDay;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  const FILETIME huge = FileTimeOf(0x8000000000000000ULL);
  SYSTEMTIME parts{};
  EXPECT_FALSE(FileTimeToSystemTime(&huge, &parts));
  EXPECT_FALSE(SystemTimeToFileTime(nullptr, nullptr));
}

TEST(FileTimes, NowLocalShiftAndComparison) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const long long seconds = static_cast<long long>((Ticks(now) - 116444736000000000ULL) / 10000000ULL);
  EXPECT_LE(std::llabs(seconds - static_cast<long long>(std::time(nullptr))), 2);

  std::tm local{};
  const std::time_t t = std::time(nullptr);
  localtime_r(&t, &local);
  FILETIME shifted{};
  ASSERT_TRUE(FileTimeToLocalFileTime(&now, &shifted));
  EXPECT_EQ(static_cast<long long>(Ticks(shifted) - Ticks(now)), local.tm_gmtoff * 10000000LL);
  FILETIME back{};
  ASSERT_TRUE(LocalFileTimeToFileTime(&shifted, &back));
  EXPECT_EQ(Ticks(back), Ticks(now));

  const FILETIME later = FileTimeOf(Ticks(now) + 1);
  const FILETIME far = FileTimeOf(Ticks(now) + (1ULL << 32));  // differs only in the high part
  EXPECT_EQ(CompareFileTime(&now, &later), -1);
  EXPECT_EQ(CompareFileTime(&later, &now), 1);
  EXPECT_EQ(CompareFileTime(&now, &now), 0);
  EXPECT_EQ(CompareFileTime(&far, &later), 1);
}

TEST(LargeIntegers, PartsAndQuadShareTheirBytes) {
  LARGE_INTEGER value;
  value.QuadPart = -2;
  EXPECT_EQ(value.LowPart, 0xFFFFFFFEu);
  EXPECT_EQ(value.HighPart, -1);
  EXPECT_EQ(value.u.HighPart, -1);
  value.u.HighPart = 1;
  EXPECT_EQ(value.QuadPart, 0x1FFFFFFFELL);
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsAsMinusOne) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, -1, 2), -1);
  EXPECT_EQ(MulDiv(-1, -1, 2), 1);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(5, 3, -2), -8);  // -7.5
  EXPECT_EQ(MulDiv(96, 72, 96), 72);
  // The product needs 64 bits, the quotient fits again.
  EXPECT_EQ(MulDiv(2000000000, 2000000000, 1000000000), -1);
  EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
  EXPECT_EQ(MulDiv(INT32_MIN, -1, 1), -1);  // 2^31 does not fit
  EXPECT_EQ(MulDiv(7, 5, 0), -1);
}

TEST(TextCalls, CopiesAlwaysEndTheirTextAndRefuseNull) {
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(lstrcpyn(buffer, "abcdefghij", 5), buffer);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(lstrcpyn(buffer, "ab", 5), buffer);
  EXPECT_STREQ(buffer, "ab");
  EXPECT_EQ(lstrcat(buffer, "cd"), buffer);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(lstrlen(buffer), 4);
  EXPECT_EQ(lstrlen(nullptr), 0);
  EXPECT_EQ(lstrcpy(nullptr, "a"), nullptr);
  EXPECT_EQ(lstrcat(buffer, nullptr), nullptr);
}

TEST(TextCalls, ComparisonsOrderAsAWordList) {
  EXPECT_LT(lstrcmp("a", "B"), 0);       // letters before case
  EXPECT_LT(lstrcmp("abc", "Abc"), 0);   // equal letters: lower case first
  EXPECT_EQ(lstrcmpi("abc", "ABC"), 0);
  EXPECT_LT(lstrcmpi("\xE4pfel", "Birne"), 0);  // ä sorts with a
  EXPECT_GT(lstrcmpi("\xE4", "a"), 0);           // after the plain letter
  EXPECT_EQ(lstrcmpi("\xC4RGER", "\xE4rger"), 0);
  EXPECT_LT(lstrcmp("9", "a"), 0);
  EXPECT_LT(lstrcmp("_", "0"), 0);  // symbols before digits, unlike the code order of '_' and 'a'
  EXPECT_LT(lstrcmp("coop", "co-op"), 0);
  EXPECT_LT(lstrcmp("co-op", "cop"), 0);
  EXPECT_LT(lstrcmp("ab", "abc"), 0);
  EXPECT_EQ(lstrcmp(nullptr, ""), 0);
}

TEST(TextCalls, CaseChangesInPlaceAndOfOneCharacter) {
  char text[] = "stra\xDF" "e \xE4\xF6\xFC \xFF";
  EXPECT_EQ(CharUpper(text), text);
  EXPECT_STREQ(text, "STRA\xDF" "E \xC4\xD6\xDC \x9F");  // ß has no capital in 1252
  EXPECT_EQ(CharLowerBuff(text, 4), 4u);
  EXPECT_STREQ(text, "stra\xDF" "E \xC4\xD6\xDC \x9F");
  // A value below 0x10000 is one character, handed back changed.
  EXPECT_EQ(reinterpret_cast<uintptr_t>(CharUpper(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(0xE4)))), 0xC4u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(CharLower(reinterpret_cast<LPSTR>(static_cast<uintptr_t>('Q')))),
            static_cast<uintptr_t>('q'));
  EXPECT_TRUE(IsCharAlpha('\xDF'));
  EXPECT_FALSE(IsCharAlpha('\xD7'));  // the multiplication sign
  EXPECT_TRUE(IsCharAlphaNumeric('7'));
  EXPECT_TRUE(IsCharUpper('\x8A'));
  EXPECT_TRUE(IsCharLower('\x9A'));
}

TEST(Memory, SecureZeroAndTheMacros) {
  char secret[6] = "abcde";
  char copy[6];
  CopyMemory(copy, secret, sizeof secret);
  EXPECT_STREQ(copy, "abcde");
  MoveMemory(copy + 1, copy, 3);
  EXPECT_STREQ(copy, "aabce");
  FillMemory(copy, 2, 'z');
  EXPECT_STREQ(copy, "zzbce");
  EXPECT_EQ(SecureZeroMemory(secret, sizeof secret), secret);
  for (char ch : secret) EXPECT_EQ(ch, 0);
  ZeroMemory(copy, sizeof copy);
  EXPECT_EQ(copy[4], 0);
}

}  // namespace
