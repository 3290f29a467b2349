// Times from calendar parts, for CXTDate.
#pragma once

#include <xtbasis/platform/timeclasses.h>

namespace xtb {

struct TimeParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Local time; daylight saving decided by the tz database. Throws E_FAIL for
// parts out of range, E_INVALIDARG when the platform cannot convert them.
__time64_t LocalTimeOf(const TimeParts& parts);
// The parts as a UTC calendar time; E_INVALIDARG unless they name a real
// time from 1970-01-01 to 3000-12-31.
__time64_t UtcTimeOf(const TimeParts& parts);

}  // namespace xtb
