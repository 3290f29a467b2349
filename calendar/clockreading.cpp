// The one place that reads the system clock for the clock stamps.
#include <ctime>

#include "clockstamp.h"

namespace xtb {

ClockRecord ReadClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  ClockRecord record;
  record.seconds = now.tv_sec;
  record.milliseconds = static_cast<int>(now.tv_nsec / 1000000);
  struct tm local {};
  if (localtime_r(&now.tv_sec, &local)) {
    record.zoneMinutesWest = static_cast<int>(-local.tm_gmtoff / 60);
    record.daylightSaving = local.tm_isdst > 0;
  }
  return record;
}

}  // namespace xtb
