// INI files as Windows reads and writes them: GetPrivateProfileString,
// GetPrivateProfileInt, WritePrivateProfileString.
#pragma once

#include <xtbasis/platform/wintypes.h>
