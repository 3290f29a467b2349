// The one place that reads the system clock for the clock stamps.
#include "clockstamp.h"
#include "os/clocks.h"

namespace xtb {

ClockRecord ReadClock() {
  const os::WallTime now = os::WallClock();
  ClockRecord record;
  record.seconds = now.seconds;
  record.milliseconds = static_cast<int>(now.nanoseconds / 1000000);
  std::tm local{};
  if (os::LocalCalendar(now.seconds, local)) {
    record.zoneMinutesWest = static_cast<int>(-local.tm_gmtoff / 60);
    record.daylightSaving = local.tm_isdst > 0;
  }
  return record;
}

}  // namespace xtb
