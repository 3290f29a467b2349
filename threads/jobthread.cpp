#include "jobthread.h"

#include <xtbasis/errortext.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/trace.h>

namespace xtb {

bool JobThread::Start(std::function<void()> loop, const char* className) {
  Stop(true);
  m_quit.store(false);
  {
    std::lock_guard lock(m_ownerMutex);
    m_letGo = false;
  }
  if (!m_thread.Start(std::move(loop))) {
    SetLastErrorFromErrno();
    const DWORD error = GetLastError();
    XTTrace(XTTRACE_ERROR, XTTRACE_PROGID_XTBASIS, "XTThreads", __LINE__,
            "%s::Start: pthread_create fehlgeschlagen: %s", className, GetLastErrorString(nullptr, error).GetString());
    return false;
  }
  m_running.store(true);
  return true;
}

void JobThread::Stop(bool quitFirst) {
  if (!m_running.load()) return;
  if (quitFirst) SetQuit();
  if (m_thread.IsCurrent())
    m_thread.Detach();
  else
    m_thread.Join();
  m_running.store(false);
}

void JobThread::LetGo() {
  if (!m_running.load()) return;
  {
    std::lock_guard lock(m_ownerMutex);
    m_letGo = true;
  }
  SetQuit();
  m_thread.Detach();
  m_running.store(false);
}

unsigned int JobThread::Finish(const std::function<unsigned int()>& onQuit) {
  std::lock_guard lock(m_ownerMutex);
  return m_letGo ? 0 : onQuit();
}

}  // namespace xtb
