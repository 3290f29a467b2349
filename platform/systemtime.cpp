#include <ctime>
#include <xtbasis/platform/timeclasses.h>

#include "timeformat.h"

namespace {

template <typename Convert>
void Now(LPSYSTEMTIME out, Convert convert) {
  if (!out) return;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm parts {};
  convert(&now.tv_sec, &parts);
  *out = xtb::SystemTimeOf(parts, static_cast<WORD>(now.tv_nsec / 1000000));
}

}  // namespace

void GetLocalTime(LPSYSTEMTIME time) { Now(time, localtime_r); }
void GetSystemTime(LPSYSTEMTIME time) { Now(time, gmtime_r); }
