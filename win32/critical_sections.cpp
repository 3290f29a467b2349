// CRITICAL_SECTION on a recursive mutex kept behind the structure.
#include <xtbasis/win32/sync.h>

#include <atomic>
#include <mutex>

namespace {

struct SectionLock {
  std::recursive_mutex mutex;
  std::atomic<DWORD> owner{0};
  unsigned recursion = 0;  // touched by the owner only
};

std::atomic_ref<void*> LockField(LPCRITICAL_SECTION section) { return std::atomic_ref<void*>(section->DebugInfo); }

// The section's lock, made by the first caller when the section was left
// zeroed: two threads racing there agree on one lock.
SectionLock& LockOf(LPCRITICAL_SECTION section) {
  void* lock = LockField(section).load(std::memory_order_acquire);
  if (lock == nullptr) {
    auto* made = new SectionLock;
    if (LockField(section).compare_exchange_strong(lock, made, std::memory_order_acq_rel)) {
      lock = made;
    } else {
      delete made;
    }
  }
  return *static_cast<SectionLock*>(lock);
}

void NoteEntered(SectionLock& lock) {
  lock.owner.store(GetCurrentThreadId(), std::memory_order_relaxed);
  ++lock.recursion;
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) { InitializeCriticalSectionAndSpinCount(section, 0); }

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount) {
  if (section == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  section->SpinCount = spinCount;
  LockField(section).store(new SectionLock, std::memory_order_release);
  return TRUE;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
  SectionLock& lock = LockOf(section);
  lock.mutex.lock();
  NoteEntered(lock);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  SectionLock& lock = LockOf(section);
  if (!lock.mutex.try_lock()) return FALSE;
  NoteEntered(lock);
  return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
  SectionLock& lock = LockOf(section);
  if (lock.owner.load(std::memory_order_relaxed) != GetCurrentThreadId()) return;
  if (--lock.recursion == 0) lock.owner.store(0, std::memory_order_relaxed);
  lock.mutex.unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
  if (section == nullptr) return;
  delete static_cast<SectionLock*>(LockField(section).exchange(nullptr, std::memory_order_acq_rel));
}
