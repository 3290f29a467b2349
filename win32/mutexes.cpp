// Mutexes by handle: recursive ownership, release by the owner only, and
// abandonment when the owner thread ends.
#include <xtbasis/win32/sync.h>

#include "object_names.h"
#include "waitable.h"

namespace {

class MutexObject : public xtb::win32::Waitable,
                    public xtb::win32::HeldByThread,
                    public std::enable_shared_from_this<MutexObject> {
 public:
  bool IsSignalledFor(DWORD threadId, uint64_t) const override { return m_owner == 0 || m_owner == threadId; }
  bool Acquire(DWORD threadId, uint64_t) override {
    if (m_owner != threadId) {
      m_owner = threadId;
      xtb::win32::NoteHeldByThisThread(shared_from_this());
    }
    ++m_recursion;
    const bool wasAbandoned = m_abandoned;
    m_abandoned = false;
    return wasAbandoned;
  }
  void HolderEnded(DWORD threadId) override {
    if (m_owner != threadId) return;
    m_owner = 0;
    m_recursion = 0;
    m_abandoned = true;
  }
  // With WaitLock held; false when `threadId` does not own the mutex.
  bool Release(DWORD threadId) {
    if (m_owner != threadId || m_recursion == 0) return false;
    if (--m_recursion == 0) m_owner = 0;
    return true;
  }

 private:
  DWORD m_owner = 0;
  unsigned m_recursion = 0;
  bool m_abandoned = false;
};

}  // namespace

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  std::shared_ptr<MutexObject> made;
  bool existed = false;
  HANDLE handle = xtb::win32::CreateMaybeNamed<MutexObject>(
      name,
      [&made] {
        made = std::make_shared<MutexObject>();
        return made;
      },
      existed);
  if (handle != nullptr && !existed && initialOwner) {
    std::lock_guard<std::mutex> guard(xtb::win32::WaitLock());
    made->Acquire(GetCurrentThreadId(), 0);
  }
  return handle;
}

HANDLE OpenMutexA(DWORD, BOOL, LPCSTR name) { return xtb::win32::OpenNamed<MutexObject>(name); }

BOOL ReleaseMutex(HANDLE handle) {
  std::shared_ptr<MutexObject> mutex = xtb::win32::ObjectOfKind<MutexObject>(handle);
  if (mutex == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(xtb::win32::WaitLock());
  if (!mutex->Release(GetCurrentThreadId())) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  xtb::win32::WakeWaiters();
  return TRUE;
}
