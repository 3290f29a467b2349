// Wide strings and the conversions between them and code page 1252 or UTF-8:
// CStringW, CW2A, CA2W, CT2A, USES_CONVERSION, A2W, W2A.
#pragma once

#include <xtbasis/platform/wintypes.h>
