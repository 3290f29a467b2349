// The program's arguments as the C runtime keeps them: __argc and __argv.
#pragma once

#include <xtbasis/platform/wintypes.h>
