#include <algorithm>
#include <chrono>
#include <cmath>
#include <xtbasis/platform/timeclasses.h>

#include "os/clocks.h"
#include "timeformat.h"

namespace {

using namespace std::chrono;

constexpr double kSecondsPerDay = 86400.0;
constexpr double kMinDate = -657434.0;     // 100-01-01
constexpr double kMaxDate = 2958465.9999;  // 9999-12-31 23:59:59
const sys_days kEpoch = sys_days(year(1899) / December / 30);

// Dates before the epoch keep a forward-counting fraction; the linear value
// counts plain time from the epoch, so that arithmetic and order work.
double LinearOf(DATE date) {
  if (date >= 0) return date;
  const double whole = std::ceil(date);
  return 2 * whole - date;
}

DATE DateOf(double linear) {
  if (linear >= 0) return linear;
  const double whole = std::floor(linear);
  return whole == linear ? linear : 2 * whole - linear;
}

// Day number from the epoch and second of that day, rounded to the second.
void SplitDate(DATE date, long long& day, long long& second) {
  const double whole = std::trunc(date);
  day = static_cast<long long>(whole);
  second = std::llround(std::fabs(date - whole) * kSecondsPerDay);
  if (second >= 86400) {
    second -= 86400;
    ++day;
  }
}

}  // namespace

COleDateTime::COleDateTime(__time64_t time) {
  CTime local(time);
  SYSTEMTIME parts;
  if (local.GetAsSystemTime(parts)) {
    *this = COleDateTime(parts);
  } else {
    m_status = invalid;
  }
}

COleDateTime::COleDateTime(const SYSTEMTIME& time) {
  SetDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
}

void COleDateTime::CheckRange() {
  if (!(m_dt >= kMinDate && m_dt <= kMaxDate)) m_status = invalid;  // NaN too
}

COleDateTime COleDateTime::GetCurrentTime() { return COleDateTime(static_cast<__time64_t>(xtb::os::WallClock().seconds)); }

int COleDateTime::SetDateTime(int y, int mo, int d, int h, int mi, int s) {
  const year_month_day date{year(y), month(static_cast<unsigned>(mo)), day(static_cast<unsigned>(d))};
  if (y < 100 || y > 9999 || mo < 1 || mo > 12 || d < 1 || !date.ok() || h < 0 || h > 23 || mi < 0 || mi > 59 ||
      s < 0 || s > 59) {
    m_status = invalid;
    return m_status;
  }
  const double days = static_cast<double>((sys_days(date) - kEpoch).count());
  const double fraction = (h * 3600 + mi * 60 + s) / kSecondsPerDay;
  m_dt = days < 0 ? days - fraction : days + fraction;
  m_status = valid;
  return m_status;
}

bool COleDateTime::ToTm(struct tm& out) const {
  if (m_status != valid) return false;
  long long dayNumber = 0, second = 0;
  SplitDate(m_dt, dayNumber, second);
  const sys_days date = kEpoch + days(dayNumber);
  const year_month_day ymd(date);
  const year_month_day newYear{ymd.year(), January, day(1)};
  out = {};
  out.tm_year = static_cast<int>(ymd.year()) - 1900;
  out.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
  out.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
  out.tm_hour = static_cast<int>(second / 3600);
  out.tm_min = static_cast<int>(second / 60 % 60);
  out.tm_sec = static_cast<int>(second % 60);
  out.tm_wday = static_cast<int>(weekday(date).c_encoding());
  out.tm_yday = static_cast<int>((date - sys_days(newYear)).count());
  out.tm_isdst = -1;
  return true;
}

int COleDateTime::GetYear() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_year + 1900 : -1;
}

int COleDateTime::GetMonth() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_mon + 1 : -1;
}

int COleDateTime::GetDay() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_mday : -1;
}

int COleDateTime::GetHour() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_hour : -1;
}

int COleDateTime::GetMinute() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_min : -1;
}

int COleDateTime::GetSecond() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_sec : -1;
}

int COleDateTime::GetDayOfWeek() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_wday + 1 : -1;
}

int COleDateTime::GetDayOfYear() const {
  struct tm parts;
  return ToTm(parts) ? parts.tm_yday + 1 : -1;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& out) const {
  struct tm parts;
  if (!ToTm(parts)) return false;
  out = xtb::SystemTimeOf(parts);
  return true;
}

CString COleDateTime::Format(const char* format) const {
  if (m_status == null) return CString();
  struct tm parts;
  if (!ToTm(parts)) return CString("Invalid DateTime");
  return xtb::FormatTm(format, parts);
}

CString COleDateTime::Format(DWORD flags, LCID /*locale: the process locale's forms*/) const {
  struct tm parts;
  if (m_status == valid && ToTm(parts)) {
    if (flags & VAR_DATEVALUEONLY) return Format("%x");
    if (flags & VAR_TIMEVALUEONLY) return Format("%X");
    if (parts.tm_hour == 0 && parts.tm_min == 0 && parts.tm_sec == 0) return Format("%x");
    if (parts.tm_year == -1 && parts.tm_mon == 11 && parts.tm_mday == 30) return Format("%X");
    return Format("%x %X");
  }
  return Format("");
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const {
  COleDateTime result;
  if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
    result.m_status = m_status == null || span.m_status == COleDateTimeSpan::null ? null : invalid;
    return result;
  }
  result.m_dt = DateOf(LinearOf(m_dt) + span.m_span);
  result.CheckRange();
  return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const { return *this + (-span); }

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const {
  COleDateTimeSpan span(LinearOf(m_dt) - LinearOf(other.m_dt));
  if (m_status != valid || other.m_status != valid)
    span.m_status = m_status == null || other.m_status == null ? COleDateTimeSpan::null : COleDateTimeSpan::invalid;
  return span;
}

bool COleDateTime::operator<(const COleDateTime& other) const { return LinearOf(m_dt) < LinearOf(other.m_dt); }

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds) {
  m_span = days + (hours * 3600.0 + minutes * 60.0 + seconds) / kSecondsPerDay;
  m_status = valid;
}

CString COleDateTimeSpan::Format(const char* format) const {
  if (m_status == null) return CString();
  if (m_status != valid) return CString("Invalid DateTimeSpan");
  return xtb::FormatSpan(format, GetDays(), GetHours(), GetMinutes(), GetSeconds());
}

CString COleDateTimeSpan::Format(UINT formatId) const { return Format(xtb::ResourceFormat(formatId).GetString()); }

LONGLONG COleDateTimeSpan::WholeSeconds() const { return std::llround(m_span * kSecondsPerDay); }
LONG COleDateTimeSpan::GetDays() const { return static_cast<LONG>(WholeSeconds() / 86400); }
LONG COleDateTimeSpan::GetHours() const { return static_cast<LONG>(WholeSeconds() / 3600 % 24); }
LONG COleDateTimeSpan::GetMinutes() const { return static_cast<LONG>(WholeSeconds() / 60 % 60); }
LONG COleDateTimeSpan::GetSeconds() const { return static_cast<LONG>(WholeSeconds() % 60); }

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const {
  COleDateTimeSpan result(m_span + other.m_span);
  if (m_status != valid || other.m_status != valid) result.m_status = std::max(m_status, other.m_status);
  return result;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const { return *this + (-other); }

COleDateTimeSpan COleDateTimeSpan::operator-() const {
  COleDateTimeSpan result(-m_span);
  result.m_status = m_status;
  return result;
}
