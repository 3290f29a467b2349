// Tick counts, ids and sleeping on the POSIX clocks. The tick count is the
// monotonic clock in milliseconds (time since boot, as on Windows);
// clock() is the C runtime's own.
#pragma once

#include <ctime>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

// Milliseconds since boot, wrapping after 49.7 days.
XTBASIS_C_API DWORD GetTickCount(void);
XTBASIS_C_API ULONGLONG GetTickCount64(void);
XTBASIS_C_API DWORD GetCurrentProcessId(void);
// The kernel's id of the calling thread (as `ps -L` shows it).
XTBASIS_C_API DWORD GetCurrentThreadId(void);
// Sleeps at least `milliseconds`; INFINITE sleeps for good, 0 yields.
XTBASIS_C_API void Sleep(DWORD milliseconds);
