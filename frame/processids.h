// The process and thread ids of the record header, cached: a record would
// otherwise pay two system calls for them.
#pragma once

#include <xtbasis/platform/wintypes.h>

namespace xtb {

// The ids of the caller, right in a child of fork() too.
DWORD CachedProcessId();
DWORD CachedThreadId();

}  // namespace xtb
