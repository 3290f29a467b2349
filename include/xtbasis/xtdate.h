// CXTDate: a point in time (seconds since 1970-01-01 00:00:00 UTC, the value
// of CTime) with the suite's date forms, ISO 8601 text and day arithmetic.
// The value 0 means "no date".
//
// Errors are thrown as CAtlException: E_FAIL for local date parts out of
// range (year before 1970, month outside 1-12, day outside 1-31, hour above
// 23, minute or second above 59); E_INVALIDARG for a time the platform
// cannot convert (local or UTC) and from the formatters for a time outside
// 1970-01-01 to 3000-12-31.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/timeclasses.h>
#include <xtbasis/platform/wintypes.h>

class XTBASIS_API CXTDate {
 public:
  CXTDate() = default;
  CXTDate(const CTime& t) : m_time(t.GetTime()) {}
  // utc false: a DB date (corrected with DoCorrectDate first; local
  // midnight) or a time stamp YYYYMMDDhhmmss (its date part corrected; local
  // time); any other length gives 0. utc true: the positions of a time stamp
  // read as UTC, missing ones as 0, nothing corrected; empty gives 0.
  CXTDate(CString s, bool utc);
  CXTDate(const CXTDate&) = default;
  CXTDate(CXTDate&&) = default;
  CXTDate& operator=(const CXTDate&) = default;
  CXTDate& operator=(CXTDate&&) = default;

  // YYYY-MM-DDThh:mm:ss with optional fraction, then nothing (local time),
  // "Z" (UTC) or an offset ±hh, ±hhmm, ±hh:mm. A text shorter than 19
  // characters, or with nothing usable behind the seconds, changes nothing;
  // a local year before 1900 gives 0.
  void FromISO8601(CString s);

  __time64_t GetTime() const { return m_time; }

  // DB date in local time.
  operator CString() const;
  // The time plus `days` days and one hour, so that a step across a change
  // of daylight-saving time still lands on the intended calendar day.
  CXTDate operator+(long days) const;
  // Days from `other` (read as CXTDate(other, false)) to this time:
  // (this - other + 1 hour) / 1 day, truncated towards zero in both directions.
  long operator-(const CString& other) const;

  // Empty for the value 0.
  CString ToISO8601(bool utc) const;  // "...Z" in UTC, else local without zone
  CString ToExt(bool utc) const;      // DD.MM.YYYY hh:mm:ss
  // Local parts; blanks of the field width for the value 0.
  CString dd() const;
  CString mm() const;
  CString yy() const;
  CString YYYY() const;
  CString ddmmyy() const;
  CString YYYYMMDDHHMMSS() const;

  __int64 secsTo(const CXTDate& other) const;  // other - this
  __int64 secsToNow() const;

 private:
  CString FormatLocal(const char* format, int widthWhenZero) const;

  __time64_t m_time = 0;
};
