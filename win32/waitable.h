// The one wait mechanism behind every waitable handle (events, mutexes,
// semaphores, threads, processes). Their states change only under one
// process-wide lock, and every change wakes the waiters to look again; a
// wait looks at all its objects under that lock, so a wait for all of them
// takes them in one step: an auto-reset event or a mutex is consumed only
// when every object of the wait is signalled. Waiters sleep on a condition
// variable, never poll.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <xtbasis/win32/handles.h>

#include "kernel_objects.h"

namespace xtb::win32 {

// The lock of every waitable object's state.
std::mutex& WaitLock();
// After a change of state, with WaitLock held: every waiter looks again.
void WakeWaiters();
// Sleeps, with `lock` holding WaitLock, until the next WakeWaiters (or a
// spurious wake-up: callers look again).
void WaitForChange(std::unique_lock<std::mutex>& lock);

class Waitable : public KernelObject {
 public:
  // All of these are called with WaitLock held.
  // A wait begins; the result is handed back to the calls below (an event
  // counts its waiters and tells which pulses they have seen).
  virtual uint64_t BeginWait() { return 0; }
  virtual void EndWait() {}
  virtual bool IsSignalledFor(DWORD threadId, uint64_t waitMark) const = 0;
  // The wait is satisfied: takes what it consumes. True when the object was
  // a mutex abandoned by its owner.
  virtual bool Acquire(DWORD threadId, uint64_t waitMark) = 0;
};

// Waits for any (the lowest signalled index) or all of `objects`, as
// WaitForMultipleObjects: WAIT_OBJECT_0 + i, WAIT_ABANDONED_0 + i or
// WAIT_TIMEOUT.
DWORD WaitForObjects(const std::vector<std::shared_ptr<Waitable>>& objects, bool all, DWORD timeoutMs);

// The object of `handle` when it can be waited for; null with
// ERROR_INVALID_HANDLE otherwise.
std::shared_ptr<Waitable> WaitableOf(HANDLE handle);

// Something a thread holds that must learn when the thread ends (a mutex,
// which is then abandoned).
class HeldByThread {
 public:
  virtual ~HeldByThread() = default;
  // With WaitLock held, on the ending thread.
  virtual void HolderEnded(DWORD threadId) = 0;
};

// Notes, with WaitLock held, that the calling thread holds `held`: when the
// thread ends before the object lets it go, HolderEnded is called.
void NoteHeldByThisThread(const std::shared_ptr<HeldByThread>& held);

}  // namespace xtb::win32
