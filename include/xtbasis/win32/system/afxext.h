// The framework's extensions: for programs without windows, what <afxwin.h> gives.
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/system/afxwin.h>
