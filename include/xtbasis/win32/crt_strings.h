// The C runtime's own string and number calls: the checked copies (strcpy_s
// ...), sprintf_s and _snprintf, the case-blind comparisons and case changes
// on code page 1252, and the number-to-text conversions (_itoa ...).
#pragma once

#include <xtbasis/platform/wintypes.h>
