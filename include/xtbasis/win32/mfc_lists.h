// The framework's lists with POSITION iteration: CList, CStringList, CPtrList.
#pragma once

#include <xtbasis/platform/wintypes.h>
