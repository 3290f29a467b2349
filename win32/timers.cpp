// The performance counter on the monotonic clock.
#include <xtbasis/win32/timers.h>

#include <chrono>
#include <cstring>

#include <xtbasis/platform/lasterror.h>

namespace {

static_assert(std::chrono::steady_clock::period::den == 1000000000 && std::chrono::steady_clock::period::num == 1,
              "the counter counts the clock's nanoseconds");

// A LARGE_INTEGER is its 64-bit QuadPart, which fills it.
BOOL Store(LARGE_INTEGER* target, LONGLONG value) {
  if (target == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::memcpy(static_cast<void*>(target), &value, sizeof value);
  return TRUE;
}

}  // namespace

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  return Store(count, std::chrono::steady_clock::now().time_since_epoch().count());
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) { return Store(frequency, 1000000000LL); }
