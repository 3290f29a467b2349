// Synchronisation objects: events, mutexes and semaphores by handle,
// CRITICAL_SECTION and its calls, the Interlocked* family.
#pragma once

#include <xtbasis/platform/wintypes.h>
