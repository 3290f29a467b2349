// Path text helpers of the shell: PathFileExists, PathAppend,
// PathRemoveFileSpec, PathFindFileName, PathFindExtension.
#pragma once

#include <xtbasis/platform/wintypes.h>
