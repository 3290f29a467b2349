// Listing a folder with a pattern: FindFirstFile, FindNextFile, FindClose and
// WIN32_FIND_DATA.
#pragma once

#include <xtbasis/platform/wintypes.h>
