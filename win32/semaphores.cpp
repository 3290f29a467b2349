// Semaphores by handle: a count taken by each wait, bounded by its maximum.
#include <xtbasis/win32/sync.h>

#include "object_names.h"
#include "waitable.h"

namespace {

class SemaphoreObject : public xtb::win32::Waitable {
 public:
  SemaphoreObject(LONG count, LONG maximum) : m_count(count), m_maximum(maximum) {}

  bool IsSignalledFor(DWORD, uint64_t) const override { return m_count > 0; }
  bool Acquire(DWORD, uint64_t) override {
    --m_count;
    return false;
  }
  // With WaitLock held; false when the count would pass the maximum.
  bool Release(LONG count, LONG& previous) {
    previous = m_count;
    if (count > m_maximum - m_count) return false;
    m_count += count;
    return true;
  }

 private:
  LONG m_count;
  const LONG m_maximum;
};

}  // namespace

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name) {
  if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool existed = false;
  return xtb::win32::CreateMaybeNamed<SemaphoreObject>(
      name, [&] { return std::make_shared<SemaphoreObject>(initialCount, maximumCount); }, existed);
}

HANDLE OpenSemaphoreA(DWORD, BOOL, LPCSTR name) { return xtb::win32::OpenNamed<SemaphoreObject>(name); }

BOOL ReleaseSemaphore(HANDLE handle, LONG releaseCount, LONG* previousCount) {
  std::shared_ptr<SemaphoreObject> semaphore = xtb::win32::ObjectOfKind<SemaphoreObject>(handle);
  if (semaphore == nullptr) return FALSE;
  if (releaseCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  LONG previous = 0;
  std::lock_guard<std::mutex> guard(xtb::win32::WaitLock());
  if (!semaphore->Release(releaseCount, previous)) {
    SetLastError(ERROR_TOO_MANY_POSTS);
    return FALSE;
  }
  if (previousCount != nullptr) *previousCount = previous;
  xtb::win32::WakeWaiters();
  return TRUE;
}
