// The known folders: SHGetFolderPath and SHGetSpecialFolderPath with the
// CSIDL_* values, mapped to the Linux folders of the same purpose.
#pragma once

#include <xtbasis/platform/wintypes.h>
