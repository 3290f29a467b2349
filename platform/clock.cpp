#include <xtbasis/platform/clock.h>

#include "os/clocks.h"
#include "os/process.h"

ULONGLONG GetTickCount64(void) { return xtb::os::MonotonicMilliseconds(); }

DWORD GetTickCount(void) { return static_cast<DWORD>(GetTickCount64()); }

DWORD GetCurrentProcessId(void) { return xtb::os::ProcessId(); }

DWORD GetCurrentThreadId(void) { return xtb::os::ThreadId(); }

void Sleep(DWORD milliseconds) {
  if (milliseconds == INFINITE) xtb::os::SleepForever();
  xtb::os::SleepMilliseconds(milliseconds);
}
