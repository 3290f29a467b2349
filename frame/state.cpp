// The pointer to the application's system base object.
#include <xtbasis/sysbase.h>

CXTSysBase* gp_XTSysBase = nullptr;
