// ATL's strings: CString, CStringW and the conversion classes.
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/system/windows.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/win32/wide_strings.h>
