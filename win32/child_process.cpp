// CreateProcess's and ShellExecute's children by handle: the exit code, the
// end of a child, TerminateProcess and GetProcessId.
#include "child_process.h"

#include <cerrno>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/processes.h>

#include "os/thread.h"
#include "waitable.h"

namespace {

using xtb::win32::WaitLock;

constexpr DWORD kSignalBase = 128;

// The flags and codes are guarded by WaitLock; `child` is set before the
// watcher starts and its pidfd closed when the object goes.
class ProcessObject : public xtb::win32::Waitable {
 public:
  explicit ProcessObject(xtb::os::Child started) : child(started) {}
  ~ProcessObject() override { xtb::os::ReleaseChild(child); }

  bool IsSignalledFor(DWORD, uint64_t) const override { return ended; }
  bool Acquire(DWORD, uint64_t) override { return false; }

  // On the watcher thread: waits for the end, then signals it.
  void Watch() {
    int code = 0;
    bool signalled = false;
    xtb::os::AwaitChildEnd(child, code, signalled);
    std::lock_guard<std::mutex> guard(WaitLock());
    ended = true;
    if (terminated && signalled) {
      exitCode = terminationCode;
    } else {
      exitCode = signalled ? kSignalBase + static_cast<DWORD>(code) : static_cast<DWORD>(code);
    }
    xtb::win32::WakeWaiters();
  }

  xtb::os::Child child;
  bool ended = false;
  bool terminated = false;
  DWORD terminationCode = 0;
  DWORD exitCode = STILL_ACTIVE;
};

// The handle of the child's primary thread: signalled with the process, an
// object of its own so that a wait for all may name both handles.
class PrimaryThreadObject : public xtb::win32::Waitable {
 public:
  explicit PrimaryThreadObject(std::shared_ptr<ProcessObject> process) : m_process(std::move(process)) {}
  bool IsSignalledFor(DWORD, uint64_t) const override { return m_process->ended; }
  bool Acquire(DWORD, uint64_t) override { return false; }

 private:
  std::shared_ptr<ProcessObject> m_process;
};

std::shared_ptr<ProcessObject> ProcessOf(HANDLE handle) {
  return xtb::win32::ObjectOfKind<ProcessObject>(handle);
}

}  // namespace

namespace xtb::win32 {

bool StartChildProcess(const os::ChildLaunch& launch, DWORD& id, HANDLE* process, HANDLE* thread) {
  os::Child child;
  if (const int error = LaunchChild(launch, child); error != 0) {
    SetLastError(WinErrorFromErrno(error));
    return false;
  }
  auto object = std::make_shared<ProcessObject>(child);
  os::NativeThread watcher;
  if (!watcher.Start([object] { object->Watch(); })) {
    // Without a watcher nobody would reap it: the child is ended and reaped here.
    const DWORD error = WinErrorFromErrno(errno);
    os::KillChild(object->child);
    object->Watch();
    SetLastError(error);
    return false;
  }
  watcher.Detach();
  id = static_cast<DWORD>(child.id);
  if (process != nullptr) *process = OpenHandle(object);
  if (thread != nullptr) *thread = OpenHandle(std::make_shared<PrimaryThreadObject>(object));
  return true;
}

}  // namespace xtb::win32

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  if (exitCode == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (process == GetCurrentProcess()) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  std::shared_ptr<ProcessObject> object = ProcessOf(process);
  if (object == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(WaitLock());
  *exitCode = object->exitCode;
  return TRUE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  if (process == GetCurrentProcess()) xtb::os::EndProcessNow(static_cast<int>(exitCode));
  std::shared_ptr<ProcessObject> object = ProcessOf(process);
  if (object == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(WaitLock());
  // A child that has ended (reaped already when the kill finds no process)
  // cannot be terminated any more, as on Windows.
  if (object->ended) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (object->terminated) return TRUE;
  if (!xtb::os::KillChild(object->child)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  object->terminated = true;
  object->terminationCode = exitCode;
  return TRUE;
}

DWORD GetProcessId(HANDLE process) {
  if (process == GetCurrentProcess()) return GetCurrentProcessId();
  std::shared_ptr<ProcessObject> object = ProcessOf(process);
  return object != nullptr ? static_cast<DWORD>(object->child.id) : 0;
}
