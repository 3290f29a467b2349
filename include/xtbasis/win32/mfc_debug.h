// The framework's checks and debug output: ASSERT, VERIFY, TRACE and
// DEBUG_NEW, on the library's assertion and trace log.
#pragma once

#include <xtbasis/platform/wintypes.h>
