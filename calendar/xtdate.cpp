#include <xtbasis/xtdate.h>

#include <limits>

#include "positions.h"
#include "timeparts.h"
#include <xtbasis/datecorrection.h>

using xtb::PieceNumber;

namespace {

constexpr __time64_t kHour = 3600;
constexpr __time64_t kDay = 24 * kHour;

// Day arithmetic in 128 bits, held to the 64-bit range of the time.
__time64_t Saturated(__int128 value) {
  constexpr __time64_t lowest = std::numeric_limits<__time64_t>::min();
  constexpr __time64_t highest = std::numeric_limits<__time64_t>::max();
  return value < lowest ? lowest : value > highest ? highest : static_cast<__time64_t>(value);
}

xtb::TimeParts DateParts(const CString& dbDate) {
  xtb::TimeParts parts;
  parts.year = PieceNumber(dbDate, 1, 4);
  parts.month = PieceNumber(dbDate, 5, 2);
  parts.day = PieceNumber(dbDate, 7, 2);
  return parts;
}

// Hour, minute and second of two digits each from position `first`, with
// `stride` characters from one to the next (2 in a time stamp, 3 in ISO text).
void SetClock(xtb::TimeParts& parts, const CString& s, int first, int stride) {
  parts.hour = PieceNumber(s, first, 2);
  parts.minute = PieceNumber(s, first + stride, 2);
  parts.second = PieceNumber(s, first + 2 * stride, 2);
}

// The zone offset of an ISO text in seconds east of UTC, starting at `sign`.
__time64_t ZoneOffset(const CString& s, int sign) {
  const int hours = PieceNumber(s, sign + 2, 2);
  const int minuteStart = s.GetLength() > sign + 3 && s[sign + 3] == ':' ? sign + 5 : sign + 4;
  const int minutes = PieceNumber(s, minuteStart, 2);
  const __time64_t offset = hours * kHour + minutes * 60;
  return s[sign] == '-' ? -offset : offset;
}

}  // namespace

CXTDate::CXTDate(CString s, bool utc) {
  if (utc) {
    if (s.IsEmpty()) return;
    xtb::TimeParts parts = DateParts(s);
    SetClock(parts, s, 9, 2);
    m_time = xtb::UtcTimeOf(parts);
    return;
  }
  if (s.GetLength() != 8 && s.GetLength() != 14) return;
  CString date = s.Left(8);
  DoCorrectDate(date, 0);
  xtb::TimeParts parts = DateParts(date);
  if (s.GetLength() == 14) SetClock(parts, s, 9, 2);
  m_time = xtb::LocalTimeOf(parts);
}

void CXTDate::FromISO8601(CString s) {
  if (s.GetLength() < 19) return;
  const int point = s.Find('.');
  if (point >= 0) {
    int end = point + 1;
    while (end < s.GetLength() && s[end] >= '0' && s[end] <= '9') ++end;
    s.Delete(point, end - point);
  }
  xtb::TimeParts parts;
  parts.year = PieceNumber(s, 1, 4);
  parts.month = PieceNumber(s, 6, 2);
  parts.day = PieceNumber(s, 9, 2);
  SetClock(parts, s, 12, 3);
  if (s.GetLength() == 19) {
    m_time = parts.year < 1900 ? 0 : xtb::LocalTimeOf(parts);
    return;
  }
  if (!s.IsEmpty() && s[s.GetLength() - 1] == 'Z') {
    m_time = xtb::UtcTimeOf(parts);
    return;
  }
  int sign = s.Find('+', 19);
  if (sign < 0) sign = s.Find('-', 19);
  if (sign < 0) return;
  m_time = Saturated(static_cast<__int128>(xtb::UtcTimeOf(parts)) - ZoneOffset(s, sign));
}

CXTDate::operator CString() const { return CTime(m_time).Format("%Y%m%d"); }

CXTDate CXTDate::operator+(long days) const {
  return CXTDate(CTime(Saturated(m_time + (static_cast<__int128>(days) * 24 + 1) * kHour)));
}

long CXTDate::operator-(const CString& other) const {
  const CXTDate start(other, false);
  return static_cast<long>((static_cast<__int128>(m_time) - start.m_time + kHour) / kDay);
}

CString CXTDate::ToISO8601(bool utc) const {
  if (m_time == 0) return CString();
  const CTime time(m_time);
  return utc ? time.FormatGmt("%Y-%m-%dT%H:%M:%SZ") : time.Format("%Y-%m-%dT%H:%M:%S");
}

CString CXTDate::ToExt(bool utc) const {
  if (m_time == 0) return CString();
  const CTime time(m_time);
  return utc ? time.FormatGmt("%d.%m.%Y %H:%M:%S") : time.Format("%d.%m.%Y %H:%M:%S");
}

CString CXTDate::FormatLocal(const char* format, int widthWhenZero) const {
  if (m_time == 0) return CString(' ', widthWhenZero);
  return CTime(m_time).Format(format);
}

CString CXTDate::dd() const { return FormatLocal("%d", 2); }
CString CXTDate::mm() const { return FormatLocal("%m", 2); }
CString CXTDate::yy() const { return FormatLocal("%y", 2); }
CString CXTDate::YYYY() const { return FormatLocal("%Y", 4); }
CString CXTDate::ddmmyy() const { return FormatLocal("%d.%m.%y", 8); }
CString CXTDate::YYYYMMDDHHMMSS() const { return FormatLocal("%Y%m%d%H%M%S", 14); }

__int64 CXTDate::secsTo(const CXTDate& other) const {
  return Saturated(static_cast<__int128>(other.m_time) - m_time);
}

__int64 CXTDate::secsToNow() const { return secsTo(CXTDate(CTime::GetCurrentTime())); }
