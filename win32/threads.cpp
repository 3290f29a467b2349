// Threads by handle on the library's native threads, detached at once.
#include <xtbasis/win32/threads.h>

#include <xtbasis/trace.h>

#include "current_thread.h"
#include "os/thread.h"

namespace {

using xtb::win32::WaitLock;
using xtb::win32::WakeWaiters;

// Every member is guarded by WaitLock.
class ThreadObject : public xtb::win32::Waitable {
 public:
  bool IsSignalledFor(DWORD, uint64_t) const override { return ended; }
  bool Acquire(DWORD, uint64_t) override { return false; }

  void End(DWORD code) {
    std::lock_guard<std::mutex> guard(WaitLock());
    if (ended) return;
    ended = true;
    exitCode = code;
    WakeWaiters();
  }

  DWORD id = 0;
  DWORD suspensions = 0;
  bool running = false;
  bool ended = false;
  DWORD exitCode = STILL_ACTIVE;
  int priority = THREAD_PRIORITY_NORMAL;
};

// Thrown by ExitThread, caught at the start of the kit's thread.
struct ThreadExit {
  DWORD code;
};

// The calling thread's object; a thread the kit did not start ends its
// object when it ends.
struct CurrentThread {
  std::shared_ptr<ThreadObject> object;
  bool startedByKit = false;
  ~CurrentThread() {
    if (object != nullptr) object->End(0);
  }
};

thread_local CurrentThread t_current;

std::shared_ptr<ThreadObject> OwnObject() {
  if (t_current.object == nullptr) {
    auto object = std::make_shared<ThreadObject>();
    object->id = GetCurrentThreadId();
    object->running = true;
    t_current.object = std::move(object);
  }
  return t_current.object;
}

// The thread of `handle`, the pseudo handle of the caller included.
std::shared_ptr<ThreadObject> ThreadOf(HANDLE handle) {
  return handle == GetCurrentThread() ? OwnObject() : xtb::win32::ObjectOfKind<ThreadObject>(handle);
}

// The new thread's start: makes its id known, waits out its suspensions,
// runs the routine and signals its end.
void RunThread(const std::shared_ptr<ThreadObject>& object, LPTHREAD_START_ROUTINE start, LPVOID parameter) {
  t_current.object = object;
  t_current.startedByKit = true;
  {
    std::unique_lock<std::mutex> lock(WaitLock());
    object->id = GetCurrentThreadId();
    WakeWaiters();
    while (object->suspensions > 0) xtb::win32::WaitForChange(lock);
    object->running = true;
  }
  DWORD code = 0;
  try {
    code = start(parameter);
  } catch (const ThreadExit& exit) {
    code = exit.code;
  }
  object->End(code);
}

}  // namespace

namespace xtb::win32 {

std::shared_ptr<Waitable> CurrentThreadObject() { return OwnObject(); }

bool OnKitThread() { return t_current.startedByKit; }

void EndKitThread(DWORD exitCode) { throw ThreadExit{exitCode}; }

bool IsThreadPriority(int priority) {
  return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
         priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

}  // namespace xtb::win32

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId) {
  if (start == nullptr || (creationFlags & ~(CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto object = std::make_shared<ThreadObject>();
  object->suspensions = (creationFlags & CREATE_SUSPENDED) != 0 ? 1 : 0;
  xtb::os::NativeThread thread;
  if (!thread.Start([object, start, parameter] { RunThread(object, start, parameter); })) {
    xtb::SetLastErrorFromErrno();
    return nullptr;
  }
  thread.Detach();
  {
    // Windows gives the id at once; the kernel's id is known once the thread runs.
    std::unique_lock<std::mutex> lock(WaitLock());
    while (object->id == 0) xtb::win32::WaitForChange(lock);
    if (threadId != nullptr) *threadId = object->id;
  }
  return xtb::win32::OpenHandle(object);
}

DWORD ResumeThread(HANDLE handle) {
  std::shared_ptr<ThreadObject> thread = ThreadOf(handle);
  if (thread == nullptr) return static_cast<DWORD>(-1);
  std::lock_guard<std::mutex> guard(WaitLock());
  const DWORD before = thread->suspensions;
  if (before > 0 && --thread->suspensions == 0) WakeWaiters();
  return before;
}

DWORD SuspendThread(HANDLE handle) {
  std::shared_ptr<ThreadObject> thread = ThreadOf(handle);
  if (thread == nullptr) return static_cast<DWORD>(-1);
  std::lock_guard<std::mutex> guard(WaitLock());
  if (thread->running || thread->ended) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return static_cast<DWORD>(-1);
  }
  return thread->suspensions++;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
  if (exitCode == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<ThreadObject> thread = ThreadOf(handle);
  if (thread == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(WaitLock());
  *exitCode = thread->exitCode;
  return TRUE;
}

DWORD GetThreadId(HANDLE handle) {
  std::shared_ptr<ThreadObject> thread = ThreadOf(handle);
  if (thread == nullptr) return 0;
  std::lock_guard<std::mutex> guard(WaitLock());
  return thread->id;
}

BOOL SetThreadPriority(HANDLE handle, int priority) {
  std::shared_ptr<ThreadObject> thread = ThreadOf(handle);
  if (thread == nullptr) return FALSE;
  if (!xtb::win32::IsThreadPriority(priority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(WaitLock());
  thread->priority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE handle) {
  std::shared_ptr<ThreadObject> thread = ThreadOf(handle);
  if (thread == nullptr) return THREAD_PRIORITY_ERROR_RETURN;
  std::lock_guard<std::mutex> guard(WaitLock());
  return thread->priority;
}

void ExitThread(DWORD exitCode) {
  if (xtb::win32::OnKitThread()) xtb::win32::EndKitThread(exitCode);
  XTTrace(XTTRACE_ERROR, XTTRACE_PROGID_XTBASIS, __FILE__, __LINE__,
          "ExitThread on thread %lu, which CreateThread did not start: it runs on", GetCurrentThreadId());
  SetLastError(ERROR_NOT_SUPPORTED);
}
