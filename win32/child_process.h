// The process behind a process HANDLE: a child the kit started, watched by
// a thread of its own that reaps it when it ends and signals the object.
#pragma once

#include <xtbasis/platform/wintypes.h>

#include "os/child_processes.h"

namespace xtb::win32 {

// Starts `launch`; the child's id, and with `process` non-null the handles
// of the process and of its primary thread (`thread` may be null). False
// with the Windows last error of what failed; a child started without
// `process` is still watched and reaped.
bool StartChildProcess(const os::ChildLaunch& launch, DWORD& id, HANDLE* process, HANDLE* thread);

}  // namespace xtb::win32
