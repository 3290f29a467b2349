// OutputDebugString, which writes to the trace log.
#pragma once

#include <xtbasis/platform/wintypes.h>
