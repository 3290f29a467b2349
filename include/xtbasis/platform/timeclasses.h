// The time classes of the library's signatures.
//   CTime          signed 64-bit seconds since 1970-01-01 00:00:00 UTC; the
//                  calendar parts are local time (the tz database). Like the
//                  Windows runtime it converts 1970-01-01 to 3000-12-31 UTC:
//                  construction outside that range, or with parts out of
//                  range, throws CAtlException(E_INVALIDARG); so does Format.
//   COleDateTime   double days since 1899-12-30 with a status. Before that
//                  day the whole part counts days back and the fraction still
//                  counts forward from midnight: -1.25 is 1899-12-29 06:00.
//                  Valid from 100-01-01 to 9999-12-31.
// Format takes strftime codes; "%#d" (and the other numeric codes with '#')
// leaves out leading zeros. Names of months and days follow LC_TIME and are
// handed out in code page 1252. The span classes' Format takes %D (whole
// days), %H, %M, %S (two digits) and %%; other characters, and '%' before
// any other, are copied. The forms with a string id take the format from
// the resource module's string table (XTGetResourceModule); a missing
// string formats as an empty format.
#pragma once

#include <ctime>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/wintypes.h>

typedef long long __time64_t;
typedef double DATE;
typedef DWORD LCID;

// The locale of COleDateTime's Format and ParseDateTime. Only the user's
// (the process locale) is known; any other value is read as it.
#define LANG_USER_DEFAULT 0x0400u
#define LOCALE_USER_DEFAULT 0x0400u
#define LOCALE_NOUSEROVERRIDE 0x80000000u
// The parts of a date and time that Format and ParseDateTime keep.
#define VAR_TIMEVALUEONLY ((DWORD)0x00000001)
#define VAR_DATEVALUEONLY ((DWORD)0x00000002)

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 = Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;

XTBASIS_C_API void GetLocalTime(LPSYSTEMTIME time);
XTBASIS_C_API void GetSystemTime(LPSYSTEMTIME time);

class XTBASIS_API CTimeSpan {
 public:
  CTimeSpan(__time64_t seconds = 0) : m_span(seconds) {}
  CTimeSpan(LONG days, int hours, int minutes, int seconds)
      : m_span(((days * 24LL + hours) * 60 + minutes) * 60 + seconds) {}

  __time64_t GetTimeSpan() const { return m_span; }
  LONGLONG GetDays() const { return m_span / 86400; }
  LONGLONG GetTotalHours() const { return m_span / 3600; }
  LONG GetHours() const { return static_cast<LONG>(GetTotalHours() % 24); }
  LONGLONG GetTotalMinutes() const { return m_span / 60; }
  LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() % 60); }
  LONGLONG GetTotalSeconds() const { return m_span; }
  LONG GetSeconds() const { return static_cast<LONG>(m_span % 60); }

  CTimeSpan operator+(CTimeSpan other) const { return m_span + other.m_span; }
  CTimeSpan operator-(CTimeSpan other) const { return m_span - other.m_span; }
  CTimeSpan& operator+=(CTimeSpan other) { m_span += other.m_span; return *this; }
  CTimeSpan& operator-=(CTimeSpan other) { m_span -= other.m_span; return *this; }
  auto operator<=>(const CTimeSpan&) const = default;

  CString Format(const char* format) const;
  CString Format(UINT formatId) const;

 private:
  __time64_t m_span;
};

class XTBASIS_API CTime {
 public:
  CTime() = default;
  CTime(__time64_t time) : m_time(time) {}
  // Local time; dst < 0 lets the tz database decide daylight saving time.
  CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);
  CTime(const SYSTEMTIME& time, int dst = -1);

  static CTime GetCurrentTime();

  __time64_t GetTime() const { return m_time; }
  // Calendar parts in local time. When the time cannot be converted, year,
  // month, day and day of week give 0, hour, minute and second -1.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  // Null when the time cannot be converted.
  struct tm* GetLocalTm(struct tm* out) const;
  struct tm* GetGmtTm(struct tm* out) const;
  bool GetAsSystemTime(SYSTEMTIME& out) const;

  CString Format(const char* format) const;
  CString Format(UINT formatId) const;
  CString FormatGmt(const char* format) const;

  CTime operator+(CTimeSpan span) const { return m_time + span.GetTimeSpan(); }
  CTime operator-(CTimeSpan span) const { return m_time - span.GetTimeSpan(); }
  CTimeSpan operator-(CTime other) const { return m_time - other.m_time; }
  CTime& operator+=(CTimeSpan span) { m_time += span.GetTimeSpan(); return *this; }
  CTime& operator-=(CTimeSpan span) { m_time -= span.GetTimeSpan(); return *this; }
  auto operator<=>(const CTime&) const = default;

 private:
  __time64_t m_time = 0;
};

class XTBASIS_API COleDateTimeSpan {
 public:
  enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

  COleDateTimeSpan(double days = 0.0) : m_span(days) {}
  COleDateTimeSpan(LONG days, int hours, int minutes, int seconds) { SetDateTimeSpan(days, hours, minutes, seconds); }

  void SetDateTimeSpan(LONG days, int hours, int minutes, int seconds);
  DateTimeSpanStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeSpanStatus status) { m_status = status; }

  double GetTotalDays() const { return m_span; }
  double GetTotalHours() const { return m_span * 24; }
  double GetTotalMinutes() const { return m_span * 24 * 60; }
  double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
  // The parts of the span rounded to whole seconds, signed like the span.
  LONG GetDays() const;
  LONG GetHours() const;
  LONG GetMinutes() const;
  LONG GetSeconds() const;
  operator double() const { return m_span; }

  // "Invalid DateTimeSpan" when invalid, empty when null.
  CString Format(const char* format) const;
  CString Format(UINT formatId) const;

  COleDateTimeSpan operator+(const COleDateTimeSpan& other) const;
  COleDateTimeSpan operator-(const COleDateTimeSpan& other) const;
  COleDateTimeSpan operator-() const;
  bool operator==(const COleDateTimeSpan& other) const { return m_status == other.m_status && m_span == other.m_span; }
  bool operator<(const COleDateTimeSpan& other) const { return m_span < other.m_span; }
  bool operator>(const COleDateTimeSpan& other) const { return m_span > other.m_span; }

  double m_span;
  DateTimeSpanStatus m_status = valid;

 private:
  LONGLONG WholeSeconds() const;
};

class XTBASIS_API COleDateTime {
 public:
  enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

  COleDateTime() = default;
  COleDateTime(DATE date) : m_dt(date) { CheckRange(); }
  COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
  }
  // The local time of `time`.
  explicit COleDateTime(__time64_t time);
  COleDateTime(const SYSTEMTIME& time);

  // The local date and time now, to the second.
  static COleDateTime GetCurrentTime();

  // Each returns the new status: valid, or invalid when a part is out of
  // range (year 100-9999, a day of that month, hour 0-23, minute and second
  // 0-59); an invalid call leaves the value unchanged.
  int SetDateTime(int year, int month, int day, int hour, int minute, int second);
  int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }
  int SetTime(int hour, int minute, int second) { return SetDateTime(1899, 12, 30, hour, minute, second); }

  DateTimeStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeStatus status) { m_status = status; }

  // Parts to the nearest second; -1 when the status is not valid.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  int GetDayOfYear() const;  // 1 = 1 January
  bool GetAsSystemTime(SYSTEMTIME& out) const;
  operator DATE() const { return m_dt; }

  // "Invalid DateTime" when invalid, empty when null.
  CString Format(const char* format) const;
  // Date and time in the locale's form (%x %X); the date alone at midnight
  // or with VAR_DATEVALUEONLY, the time alone on 1899-12-30 or with
  // VAR_TIMEVALUEONLY. There is no Format(UINT formatId): DWORD and UINT
  // are one type here, so a number is always the flags.
  CString Format(DWORD flags = 0, LCID locale = LANG_USER_DEFAULT) const;

  // Reads a date, a time, or a date and a time, in the forms "24.12.2026"
  // (also "24.12.26": years 00-29 are 2000-2029, 30-99 1930-1999),
  // "2026-12-24", "18:30" or "18:30:15", the time after the date and a
  // blank. A time alone lies on 1899-12-30, a date alone at midnight;
  // VAR_DATEVALUEONLY drops the time that the text gives, VAR_TIMEVALUEONLY
  // the date. TRUE and valid on success; otherwise (null or other text, a
  // part out of range, both flags) FALSE with the value 0 and the status
  // invalid. The locale does not change the forms read.
  BOOL ParseDateTime(const char* text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);

  COleDateTime operator+(const COleDateTimeSpan& span) const;
  COleDateTime operator-(const COleDateTimeSpan& span) const;
  COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
  COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }
  COleDateTimeSpan operator-(const COleDateTime& other) const;
  // Compared in time order (also before 1899-12-30).
  bool operator==(const COleDateTime& other) const { return m_status == other.m_status && m_dt == other.m_dt; }
  bool operator!=(const COleDateTime& other) const { return !(*this == other); }
  bool operator<(const COleDateTime& other) const;
  bool operator>(const COleDateTime& other) const { return other < *this; }
  bool operator<=(const COleDateTime& other) const { return !(other < *this); }
  bool operator>=(const COleDateTime& other) const { return !(*this < other); }

  DATE m_dt = 0.0;
  DateTimeStatus m_status = valid;

 private:
  void CheckRange();
  // The parts to the nearest second in a struct tm; false when not valid.
  bool ToTm(struct tm& out) const;
};
