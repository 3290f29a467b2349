// The clocks: the wall clock, the monotonic clock (in full and in its cheap
// coarse reading) and the local calendar of a moment.
#pragma once

#include <cstdint>
#include <ctime>

namespace xtb::os {

struct WallTime {
  int64_t seconds = 0;  // since 1970-01-01 UTC
  long nanoseconds = 0;
};

WallTime WallClock();
// Milliseconds of the monotonic clock (time since boot).
uint64_t MonotonicMilliseconds();
// The same from the kernel's last tick: a few milliseconds behind, but read
// without entering the kernel, for hot paths that only need "about when".
int64_t CoarseMonotonicMilliseconds();

// The local (or UTC) calendar form of `seconds`; false outside its range.
// The local form carries the zone's offset (tm_gmtoff) and daylight saving.
bool LocalCalendar(int64_t seconds, std::tm& parts);
bool UtcCalendar(int64_t seconds, std::tm& parts);
// The moment of the local (or UTC) calendar `parts` (normalised in place, as
// mktime does: tm_wday stays untouched when it fails).
int64_t SecondsOfLocalCalendar(std::tm& parts);
int64_t SecondsOfUtcCalendar(std::tm& parts);

// Sleeps at least `milliseconds`, through signals; 0 yields the processor.
void SleepMilliseconds(uint32_t milliseconds);
// Waits for good (until a signal ends the process).
[[noreturn]] void SleepForever();

}  // namespace xtb::os
