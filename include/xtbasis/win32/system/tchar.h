// Generic-text names of the 8-bit build (_T, _tcslen, _tmain ...).
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/text_mappings.h>
