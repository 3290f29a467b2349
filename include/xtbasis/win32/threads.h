// Threads by handle: CreateThread, GetExitCodeThread, the calling thread's
// handle.
#pragma once

#include <xtbasis/platform/wintypes.h>
