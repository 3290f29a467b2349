// CObject and its run-time class information: CRuntimeClass, DECLARE_DYNAMIC,
// IMPLEMENT_DYNAMIC, RUNTIME_CLASS, IsKindOf.
#pragma once

#include <xtbasis/platform/wintypes.h>
