// The generic-text names of the 8-bit build: _T, _TCHAR, _tmain and the _t*
// functions mapped to their char forms.
#pragma once

#include <xtbasis/platform/wintypes.h>
