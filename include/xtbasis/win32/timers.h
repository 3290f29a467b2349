// The high-resolution counter: QueryPerformanceCounter and
// QueryPerformanceFrequency. The counter is the system's monotonic clock in
// nanoseconds (time since boot, never set back, not counting suspend), so
// the frequency is 1 GHz on every machine, fixed for the process's life as
// Windows promises. GetTickCount and GetTickCount64 are the library's
// (<xtbasis/platform/clock.h>), on the same clock.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/types.h>

// The counter's value; FALSE with ERROR_INVALID_PARAMETER for null.
XTBASIS_C_API BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
// Counts per second: 1,000,000,000; FALSE with ERROR_INVALID_PARAMETER for null.
XTBASIS_C_API BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
