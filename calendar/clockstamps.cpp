#include <cstdio>

#include "clockstamp.h"
#include <xtbasis/dateforms.h>

namespace xtb {

ClockRecord NextDistinct(ClockRecord& previous, ClockRecord now) {
  if (now == previous) now.milliseconds = (now.milliseconds + 1) % 1000;
  previous = now;
  return now;
}

}  // namespace xtb

namespace {

// One previous record per function and thread (see dateforms.h).
thread_local xtb::ClockRecord t_lastStechUhr;
thread_local xtb::ClockRecord t_lastStechUhrISO;

CString Now(const char* format) { return CTime::GetCurrentTime().Format(format); }

CString Stamp(xtb::ClockRecord& previous, const char* format) {
  const xtb::ClockRecord record = xtb::NextDistinct(previous, xtb::ReadClock());
  CString stamp = CTime(record.seconds).Format(format);
  char millis[8];
  std::snprintf(millis, sizeof millis, "%03d", record.milliseconds);
  return stamp += millis;
}

}  // namespace

CTime GetXTTime() { return CTime::GetCurrentTime(); }

COleDateTime GetXTOleTime() { return COleDateTime::GetCurrentTime(); }

CString GetXTDate() { return Now("%Y%m%d"); }

CString GetStechUhr() { return Stamp(t_lastStechUhr, "%Y%m%d%H%M%S"); }

CString GetStechUhrISO8601() { return Stamp(t_lastStechUhrISO, "%Y-%m-%dT%H:%M:%S."); }

CString GetStechUhr2() { return Now("%Y%m%d%H%M%S"); }

CString GetStechUhr2ISO8601() { return Now("%Y-%m-%dT%H:%M:%S"); }

CString TimestampToStr(__time64_t t) {
  if (t <= 0) return CString();
  return CTime(t).Format("%Y%m%d%H%M%S");
}
