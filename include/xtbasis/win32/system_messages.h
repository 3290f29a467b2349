// FormatMessage for the system's error numbers and for a module's message
// table.
#pragma once

#include <xtbasis/platform/wintypes.h>
