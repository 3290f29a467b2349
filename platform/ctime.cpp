#include <xtbasis/platform/timeclasses.h>

#include "os/clocks.h"
#include "timeformat.h"

namespace {

// The range the Windows runtime converts: 1970-01-01 to 3000-12-31 UTC.
constexpr __time64_t kMaxTime = 32535215999LL;

bool InRange(__time64_t time) { return time >= 0 && time <= kMaxTime; }

}  // namespace

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int dst) {
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59)
    AtlThrow(E_INVALIDARG);
  struct tm parts {};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = dst < 0 ? -1 : (dst > 0);
  parts.tm_wday = -1;  // mktime sets it; still -1 means it failed
  const int64_t time = xtb::os::SecondsOfLocalCalendar(parts);
  if (parts.tm_wday < 0 || !InRange(time)) AtlThrow(E_INVALIDARG);
  m_time = time;
}

CTime::CTime(const SYSTEMTIME& time, int dst)
    : CTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, dst) {}

CTime CTime::GetCurrentTime() { return CTime(static_cast<__time64_t>(xtb::os::WallClock().seconds)); }

struct tm* CTime::GetLocalTm(struct tm* out) const {
  return out && InRange(m_time) && xtb::os::LocalCalendar(m_time, *out) ? out : nullptr;
}

struct tm* CTime::GetGmtTm(struct tm* out) const {
  return out && InRange(m_time) && xtb::os::UtcCalendar(m_time, *out) ? out : nullptr;
}

int CTime::GetYear() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_year + 1900 : 0;
}

int CTime::GetMonth() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_mon + 1 : 0;
}

int CTime::GetDay() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_mday : 0;
}

int CTime::GetHour() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_hour : -1;
}

int CTime::GetMinute() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_min : -1;
}

int CTime::GetSecond() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_sec : -1;
}

int CTime::GetDayOfWeek() const {
  struct tm parts;
  return GetLocalTm(&parts) ? parts.tm_wday + 1 : 0;
}

bool CTime::GetAsSystemTime(SYSTEMTIME& out) const {
  struct tm parts;
  if (!GetLocalTm(&parts)) return false;
  out = xtb::SystemTimeOf(parts);
  return true;
}

CString CTime::Format(const char* format) const {
  struct tm parts;
  if (!GetLocalTm(&parts)) AtlThrow(E_INVALIDARG);
  return xtb::FormatTm(format, parts);
}

CString CTime::Format(UINT formatId) const { return Format(xtb::ResourceFormat(formatId).GetString()); }

CString CTimeSpan::Format(const char* format) const {
  return xtb::FormatSpan(format, GetDays(), GetHours(), GetMinutes(), GetSeconds());
}

CString CTimeSpan::Format(UINT formatId) const { return Format(xtb::ResourceFormat(formatId).GetString()); }

CString CTime::FormatGmt(const char* format) const {
  struct tm parts;
  if (!GetGmtTm(&parts)) AtlThrow(E_INVALIDARG);
  return xtb::FormatTm(format, parts);
}
