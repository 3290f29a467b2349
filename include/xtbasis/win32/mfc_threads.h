// The framework's worker threads: CWinThread, AfxBeginThread, AfxEndThread
// and AfxGetThread, on the kit's threads by handle (threads.h).
//
// A worker runs its AFX_THREADPROC with its parameter; the procedure's
// result is the thread's exit code (GetExitCodeThread on m_hThread). With
// m_bAutoDelete TRUE, the default, the CWinThread deletes itself when the
// thread ends (its destructor closes m_hThread): after that the pointer
// AfxBeginThread gave is dangling, and since a short thread may end before
// AfxBeginThread has returned, such a pointer must not be used at all. To
// wait for a worker, start it with CREATE_SUSPENDED, set m_bAutoDelete to
// FALSE, ResumeThread, then wait on m_hThread and delete the object.
//
// As with CreateThread: SuspendThread works only before a thread has started
// (CREATE_SUSPENDED) and fails with ERROR_NOT_SUPPORTED after; the priority
// is checked, kept and given back, never handed to the scheduler; the stack
// size is the system's. Every worker is detached: the end of the program does
// not wait for one that still runs, which ends with the process.
//
// Only the worker form is carried. User-interface threads (AfxBeginThread
// with a CRuntimeClass, InitInstance, Run and a message map) are not: their
// messages reach them through message maps and windows, neither of which the
// kit has. CWinApp (platform/winapp.h) is not a CWinThread here, so
// AfxGetThread is null on the program's main thread.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/handles.h>
#include <xtbasis/win32/mfc_object.h>
#include <xtbasis/win32/threads.h>

#ifndef AFX_CDECL
#define AFX_CDECL
#endif

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID parameter);

class XTBASIS_API CWinThread : public CObject {
  DECLARE_DYNAMIC(CWinThread)

 public:
  // A worker that will run proc(parameter); CreateThread starts it.
  CWinThread(AFX_THREADPROC proc, LPVOID parameter);
  // Closes m_hThread; the thread itself runs on if it has not ended.
  ~CWinThread() override;

  // Starts the thread (held at its start with CREATE_SUSPENDED). FALSE with
  // the last error of ::CreateThread when it cannot, or when it was started
  // before (ERROR_INVALID_PARAMETER).
  BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES attributes = nullptr);
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
  int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
  BOOL SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }
  operator HANDLE() const { return m_hThread; }

  // Called when the thread ends: deletes the object when m_bAutoDelete.
  virtual void Delete();

  HANDLE m_hThread;
  DWORD m_nThreadID;
  BOOL m_bAutoDelete;
  AFX_THREADPROC m_pfnThreadProc;
  LPVOID m_pThreadParams;
};

// A new worker running proc(parameter) with `priority` (a THREAD_PRIORITY_*
// value); CREATE_SUSPENDED holds it until ResumeThread. Null when the
// thread cannot be made, or with ERROR_INVALID_PARAMETER for no procedure,
// another priority or other flags (nothing then runs).
XTBASIS_API CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID parameter, int priority = THREAD_PRIORITY_NORMAL,
                                       UINT stackSize = 0, DWORD createFlags = 0,
                                       LPSECURITY_ATTRIBUTES attributes = nullptr);

// Ends the calling thread with `exitCode` by ExitThread (its stack is
// unwound, destructors run); a worker's CWinThread is deleted when
// `deleteThread` and m_bAutoDelete are both TRUE. On a thread the kit did
// not start it fails as ExitThread does (ERROR_NOT_SUPPORTED) and returns.
XTBASIS_API void AfxEndThread(UINT exitCode, BOOL deleteThread = TRUE);

// The calling worker's CWinThread; null on a thread AfxBeginThread or
// CWinThread::CreateThread did not start.
XTBASIS_API CWinThread* AfxGetThread();
