// The unsuffixed Win32 names (RegOpenKeyEx, MessageBox, GetMessage, LoadString
// ...) mapped to the library's 8-bit calls, as the Windows headers map them
// for the 8-bit build.
#pragma once

#include <xtbasis/platform/wintypes.h>
