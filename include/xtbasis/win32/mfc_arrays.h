// The framework's arrays: CArray and the typed arrays CStringArray,
// CDWordArray, CUIntArray, CPtrArray, CObArray.
#pragma once

#include <xtbasis/platform/wintypes.h>
