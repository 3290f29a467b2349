// The high-resolution counter: QueryPerformanceCounter and
// QueryPerformanceFrequency.
#pragma once

#include <xtbasis/platform/wintypes.h>
