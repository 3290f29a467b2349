#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/types.h>

#include <cstdint>
#include <ctime>

#include "os/clocks.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kTicksPerDay = 86400 * kTicksPerSecond;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = 134774;

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1601-01-01 of a proleptic Gregorian date (year 1601 or later),
// counted in whole 400-year cycles of 146097 days and then year by year.
int64_t DaysSince1601(int64_t year, int month, int day) {
  const int64_t years = year - 1601;
  int64_t days = years * 365 + years / 4 - years / 100 + years / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - 1;
}

void DateOfDays(int64_t days, SYSTEMTIME& out) {
  out.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  int64_t year = 1601 + (days / 146097) * 400;
  days %= 146097;
  while (true) {
    const int length = IsLeapYear(year) ? 366 : 365;
    if (days < length) break;
    days -= length;
    ++year;
  }
  int month = 1;
  while (days >= DaysInMonth(year, month)) days -= DaysInMonth(year, month++);
  out.wYear = static_cast<WORD>(year);
  out.wMonth = static_cast<WORD>(month);
  out.wDay = static_cast<WORD>(days + 1);
}

uint64_t TicksOf(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void SetTicks(FILETIME& time, uint64_t ticks) {
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

BOOL Refuse() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// The zone's offset from UTC now, in ticks, daylight saving included.
int64_t CurrentOffsetTicks() {
  std::tm parts{};
  if (!xtb::os::LocalCalendar(xtb::os::WallClock().seconds, parts)) return 0;
  return static_cast<int64_t>(parts.tm_gmtoff) * kTicksPerSecond;
}

BOOL Shift(const FILETIME* from, LPFILETIME to, int64_t offsetTicks) {
  if (!from || !to) return Refuse();
  const int64_t shifted = static_cast<int64_t>(TicksOf(*from)) + offsetTicks;
  if (shifted < 0) return Refuse();
  SetTicks(*to, static_cast<uint64_t>(shifted));
  return TRUE;
}

}  // namespace

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
  if (!systemTime || !fileTime) return Refuse();
  const SYSTEMTIME& t = *systemTime;
  if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
      t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 ||
      t.wMilliseconds > 999)
    return Refuse();
  const int64_t days = DaysSince1601(t.wYear, t.wMonth, t.wDay);
  const int64_t seconds = (t.wHour * 60 + t.wMinute) * 60 + t.wSecond;
  SetTicks(*fileTime, static_cast<uint64_t>(days * kTicksPerDay + seconds * kTicksPerSecond +
                                            t.wMilliseconds * int64_t{10000}));
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
  if (!fileTime || !systemTime) return Refuse();
  const uint64_t ticks = TicksOf(*fileTime);
  if (ticks >> 63) return Refuse();
  const int64_t days = static_cast<int64_t>(ticks) / kTicksPerDay;
  const int64_t ofDay = static_cast<int64_t>(ticks) % kTicksPerDay;
  DateOfDays(days, *systemTime);
  const int64_t seconds = ofDay / kTicksPerSecond;
  systemTime->wHour = static_cast<WORD>(seconds / 3600);
  systemTime->wMinute = static_cast<WORD>(seconds / 60 % 60);
  systemTime->wSecond = static_cast<WORD>(seconds % 60);
  systemTime->wMilliseconds = static_cast<WORD>(ofDay % kTicksPerSecond / 10000);
  return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
  return Shift(fileTime, localFileTime, CurrentOffsetTicks());
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
  return Shift(localFileTime, fileTime, -CurrentOffsetTicks());
}

LONG CompareFileTime(const FILETIME* first, const FILETIME* second) {
  const uint64_t a = first ? TicksOf(*first) : 0;
  const uint64_t b = second ? TicksOf(*second) : 0;
  return a < b ? -1 : a > b ? 1 : 0;
}

void GetSystemTimeAsFileTime(LPFILETIME fileTime) {
  if (!fileTime) return;
  const xtb::os::WallTime now = xtb::os::WallClock();
  SetTicks(*fileTime, static_cast<uint64_t>((now.seconds + kDaysFrom1601To1970 * 86400) * kTicksPerSecond +
                                            now.nanoseconds / 100));
}
