#include "waitable.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>

namespace xtb::win32 {
namespace {

struct WaitState {
  std::mutex lock;
  std::condition_variable changed;
};

// Never destroyed: threads that outlive main may still wait or signal.
WaitState& State() {
  static WaitState* state = new WaitState;
  return *state;
}

// What the calling thread holds; told of the thread's end by its destructor.
struct ThreadHoldings {
  std::vector<std::weak_ptr<HeldByThread>> held;
  ~ThreadHoldings() {
    if (held.empty()) return;
    const DWORD self = GetCurrentThreadId();
    std::lock_guard<std::mutex> guard(WaitLock());
    for (const std::weak_ptr<HeldByThread>& weak : held) {
      if (std::shared_ptr<HeldByThread> object = weak.lock()) object->HolderEnded(self);
    }
    WakeWaiters();
  }
};

thread_local ThreadHoldings t_holdings;

// Takes every object (all) or the lowest signalled one; false when the wait
// is not yet satisfied.
bool TrySatisfy(const std::vector<std::shared_ptr<Waitable>>& objects, const std::vector<uint64_t>& marks,
                bool all, DWORD self, DWORD& result) {
  const size_t count = objects.size();
  if (all) {
    for (size_t i = 0; i < count; ++i) {
      if (!objects[i]->IsSignalledFor(self, marks[i])) return false;
    }
    size_t firstAbandoned = count;
    for (size_t i = 0; i < count; ++i) {
      if (objects[i]->Acquire(self, marks[i]) && firstAbandoned == count) firstAbandoned = i;
    }
    result = firstAbandoned < count ? WAIT_ABANDONED_0 + static_cast<DWORD>(firstAbandoned) : WAIT_OBJECT_0;
    return true;
  }
  for (size_t i = 0; i < count; ++i) {
    if (objects[i]->IsSignalledFor(self, marks[i])) {
      const bool abandoned = objects[i]->Acquire(self, marks[i]);
      result = (abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + static_cast<DWORD>(i);
      return true;
    }
  }
  return false;
}

}  // namespace

std::mutex& WaitLock() { return State().lock; }

void WakeWaiters() { State().changed.notify_all(); }

void WaitForChange(std::unique_lock<std::mutex>& lock) { State().changed.wait(lock); }

DWORD WaitForObjects(const std::vector<std::shared_ptr<Waitable>>& objects, bool all, DWORD timeoutMs) {
  const DWORD self = GetCurrentThreadId();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lock(WaitLock());
  std::vector<uint64_t> marks;
  marks.reserve(objects.size());
  for (const std::shared_ptr<Waitable>& object : objects) marks.push_back(object->BeginWait());
  DWORD result = WAIT_TIMEOUT;
  while (!TrySatisfy(objects, marks, all, self, result)) {
    if (timeoutMs == 0) break;
    if (timeoutMs == INFINITE) {
      State().changed.wait(lock);
    } else if (State().changed.wait_until(lock, deadline) == std::cv_status::timeout) {
      // One last look: a change may have come with the time-out.
      if (!TrySatisfy(objects, marks, all, self, result)) result = WAIT_TIMEOUT;
      break;
    }
  }
  for (const std::shared_ptr<Waitable>& object : objects) object->EndWait();
  return result;
}

std::shared_ptr<Waitable> WaitableOf(HANDLE handle) { return ObjectOfKind<Waitable>(handle); }

void NoteHeldByThisThread(const std::shared_ptr<HeldByThread>& held) {
  std::vector<std::weak_ptr<HeldByThread>>& list = t_holdings.held;
  list.erase(std::remove_if(list.begin(), list.end(), [](const auto& weak) { return weak.expired(); }), list.end());
  for (const std::weak_ptr<HeldByThread>& weak : list) {
    if (weak.lock() == held) return;
  }
  list.push_back(held);
}

}  // namespace xtb::win32
