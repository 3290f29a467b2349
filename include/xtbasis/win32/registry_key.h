// ATL's registry key class CRegKey, on the library's registry store.
#pragma once

#include <xtbasis/platform/wintypes.h>
