// The pointer to the application's system base object.
#include <xtbasis/trace.h>

CXTSysBase* gp_XTSysBase = nullptr;
