#include "timeparts.h"

#include <chrono>

namespace xtb {

namespace {

bool ClockPartsOk(const TimeParts& p) {
  return p.hour >= 0 && p.hour <= 23 && p.minute >= 0 && p.minute <= 59 && p.second >= 0 && p.second <= 59;
}

}  // namespace

__time64_t LocalTimeOf(const TimeParts& p) {
  if (p.year < 1970 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || !ClockPartsOk(p)) AtlThrow(E_FAIL);
  return CTime(p.year, p.month, p.day, p.hour, p.minute, p.second).GetTime();
}

__time64_t UtcTimeOf(const TimeParts& p) {
  using namespace std::chrono;
  if (p.year < 1970 || p.year > 3000 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || !ClockPartsOk(p))
    AtlThrow(E_INVALIDARG);
  const year_month_day date{year(p.year), month(static_cast<unsigned>(p.month)), day(static_cast<unsigned>(p.day))};
  if (!date.ok()) AtlThrow(E_INVALIDARG);
  const seconds sinceEpoch = sys_days(date).time_since_epoch() + hours(p.hour) + minutes(p.minute) + seconds(p.second);
  return sinceEpoch.count();
}

}  // namespace xtb
