// The framework's worker threads on the kit's CreateThread: each worker
// knows its CWinThread while it runs and lets it go at its end, however it
// ends (its procedure returned, or AfxEndThread unwound it).
#include <xtbasis/win32/mfc_threads.h>

#include "current_thread.h"

namespace {

struct Worker {
  CWinThread* thread = nullptr;
  bool deleteAtEnd = true;
};

thread_local Worker t_worker;

// Runs last on the worker, during the unwinding of AfxEndThread too.
struct WorkerEnd {
  ~WorkerEnd() {
    const Worker ended = t_worker;
    t_worker = Worker{};
    if (ended.deleteAtEnd) ended.thread->Delete();
  }
};

DWORD WINAPI RunWorker(LPVOID parameter) {
  auto* thread = static_cast<CWinThread*>(parameter);
  t_worker = Worker{thread, true};
  const WorkerEnd end;
  return thread->m_pfnThreadProc(thread->m_pThreadParams);
}

}  // namespace

IMPLEMENT_DYNAMIC(CWinThread, CObject)

CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID parameter)
    : m_hThread(nullptr), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(proc), m_pThreadParams(parameter) {}

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize, LPSECURITY_ATTRIBUTES attributes) {
  if (m_hThread != nullptr || m_pfnThreadProc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Held until m_hThread and m_nThreadID are set: a short worker that
  // deletes its object at its end must find them there.
  DWORD id = 0;
  HANDLE handle = ::CreateThread(attributes, stackSize, RunWorker, this, createFlags | CREATE_SUSPENDED, &id);
  if (handle == nullptr) return FALSE;
  m_hThread = handle;
  m_nThreadID = id;
  if ((createFlags & CREATE_SUSPENDED) == 0) ::ResumeThread(handle);
  return TRUE;
}

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID parameter, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES attributes) {
  if (proc == nullptr || !xtb::win32::IsThreadPriority(priority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* thread = new CWinThread(proc, parameter);
  if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, attributes)) {
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(priority);
  if ((createFlags & CREATE_SUSPENDED) == 0) thread->ResumeThread();
  return thread;
}

void AfxEndThread(UINT exitCode, BOOL deleteThread) {
  if (t_worker.thread != nullptr) t_worker.deleteAtEnd = deleteThread != FALSE;
  ExitThread(exitCode);
}

CWinThread* AfxGetThread() { return t_worker.thread; }
