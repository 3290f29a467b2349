// The application's helpers: AfxMessageBox, AfxFormatString1/2,
// AfxExtractSubString, AfxGetAppName, AfxGetInstanceHandle,
// AfxGetResourceHandle, CCommandLineInfo.
#pragma once

#include <xtbasis/platform/wintypes.h>
