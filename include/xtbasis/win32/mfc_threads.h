// The framework's worker threads: CWinThread and AfxBeginThread.
#pragma once

#include <xtbasis/platform/wintypes.h>
