// The framework's maps with POSITION iteration: CMap and CMapStringToString,
// CMapStringToPtr, CMapWordToPtr.
#pragma once

#include <xtbasis/platform/wintypes.h>
