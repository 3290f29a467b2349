// The kit's record of threads: the object behind a thread handle, the
// calling thread's own object, ending a thread the kit started, and the
// priorities a thread may be given.
#pragma once

#include <memory>

#include <xtbasis/platform/wintypes.h>

#include "waitable.h"

namespace xtb::win32 {

// The calling thread's object (made on first use for a thread the kit did
// not start; signalled when that thread ends).
std::shared_ptr<Waitable> CurrentThreadObject();

// True on a thread started by CreateThread.
bool OnKitThread();

// Unwinds the calling kit thread to its start, which ends it with
// `exitCode`. Only on a kit thread.
[[noreturn]] void EndKitThread(DWORD exitCode);

// Whether `priority` is one of the THREAD_PRIORITY_* values a thread takes.
bool IsThreadPriority(int priority);

}  // namespace xtb::win32
