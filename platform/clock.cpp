#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <xtbasis/platform/clock.h>

ULONGLONG GetTickCount64(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec) / 1000000u;
}

DWORD GetTickCount(void) { return static_cast<DWORD>(GetTickCount64()); }

DWORD GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

// Not cached: a child of fork() must see its own id.
DWORD GetCurrentThreadId(void) { return static_cast<DWORD>(gettid()); }

void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) pause();
  }
  timespec rest{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}
