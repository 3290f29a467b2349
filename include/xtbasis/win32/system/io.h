// The C runtime's low-level file calls (_access, _unlink ...).
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/crt_files.h>
