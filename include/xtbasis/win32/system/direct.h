// The C runtime's folder calls (_mkdir, _getcwd, _chdir ...).
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/crt_files.h>
