#include "clocks.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>

namespace xtb::os {

WallTime WallClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return {static_cast<int64_t>(now.tv_sec), now.tv_nsec};
}

uint64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

int64_t CoarseMonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool LocalCalendar(int64_t seconds, std::tm& parts) {
  const time_t time = static_cast<time_t>(seconds);
  return localtime_r(&time, &parts) != nullptr;
}

bool UtcCalendar(int64_t seconds, std::tm& parts) {
  const time_t time = static_cast<time_t>(seconds);
  return gmtime_r(&time, &parts) != nullptr;
}

int64_t SecondsOfLocalCalendar(std::tm& parts) { return static_cast<int64_t>(mktime(&parts)); }

int64_t SecondsOfUtcCalendar(std::tm& parts) { return static_cast<int64_t>(timegm(&parts)); }

void SleepMilliseconds(uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec rest{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

void SleepForever() {
  for (;;) pause();
}

}  // namespace xtb::os
