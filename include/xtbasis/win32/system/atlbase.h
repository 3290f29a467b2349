// ATL's base: CRegKey and the string conversions (USES_CONVERSION, CW2A ...).
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/system/windows.h>
#include <xtbasis/win32/wide_strings.h>
#include <xtbasis/win32/registry_key.h>
