// The program's arguments as the C runtime keeps them: __argc, __argv
// (__targv in the 8-bit build) and _pgmptr, the program file's full path.
// They are set before main runs, constructors of global objects included,
// and stay as the program was started.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

XTBASIS_C_API int __argc;
XTBASIS_C_API char** __argv;
XTBASIS_C_API char* _pgmptr;
#define __targv __argv
