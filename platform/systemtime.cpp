#include <xtbasis/platform/timeclasses.h>

#include "os/clocks.h"
#include "timeformat.h"

namespace {

template <typename Convert>
void Now(LPSYSTEMTIME out, Convert convert) {
  if (!out) return;
  const xtb::os::WallTime now = xtb::os::WallClock();
  std::tm parts{};
  convert(now.seconds, parts);
  *out = xtb::SystemTimeOf(parts, static_cast<WORD>(now.nanoseconds / 1000000));
}

}  // namespace

void GetLocalTime(LPSYSTEMTIME time) { Now(time, xtb::os::LocalCalendar); }
void GetSystemTime(LPSYSTEMTIME time) { Now(time, xtb::os::UtcCalendar); }
