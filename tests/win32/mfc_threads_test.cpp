// The framework's worker threads as a ported program uses them: a pool of
// workers writing their results under a critical section, objects that
// delete themselves or are kept for a wait, AfxEndThread's exit code, the
// start held by CREATE_SUSPENDED, and a program that ends while a worker is
// blocked for good.
#include <afxmt.h>
#include <afxwin.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tool_run.h"

namespace {

struct Pool {
  CCriticalSection section;
  std::vector<DWORD> finishedBy;  // guarded by section
  long total = 0;                 // guarded by section
};

struct Job {
  Pool* pool;
  UINT number;
};

UINT AddsItsShare(LPVOID parameter) {
  const Job* job = static_cast<const Job*>(parameter);
  for (int i = 0; i < 1000; ++i) {
    CSingleLock lock(&job->pool->section, TRUE);
    job->pool->total += job->number;
  }
  CSingleLock lock(&job->pool->section, TRUE);
  job->pool->finishedBy.push_back(AfxGetThread()->m_nThreadID);
  return job->number * 10;
}

// Started held, kept after its end, then let go: the object outlives the
// thread for the wait.
CWinThread* StartKept(AFX_THREADPROC proc, LPVOID parameter) {
  CWinThread* thread = AfxBeginThread(proc, parameter, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  if (thread != nullptr) {
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
  }
  return thread;
}

TEST(MfcThreads, APoolOfWorkersWritesItsResultsUnderACriticalSection) {
  constexpr UINT kWorkers = 6;
  Pool pool;
  std::vector<Job> jobs;
  for (UINT i = 1; i <= kWorkers; ++i) jobs.push_back({&pool, i});
  std::vector<CWinThread*> threads;
  std::vector<HANDLE> handles;
  for (Job& job : jobs) {
    CWinThread* thread = StartKept(AddsItsShare, &job);
    ASSERT_NE(thread, nullptr);
    threads.push_back(thread);
    handles.push_back(*thread);
  }
  ASSERT_EQ(WaitForMultipleObjects(kWorkers, handles.data(), TRUE, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(pool.total, 1000L * kWorkers * (kWorkers + 1) / 2);
  ASSERT_EQ(pool.finishedBy.size(), kWorkers);
  for (UINT i = 0; i < kWorkers; ++i) {
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(threads[i]->m_hThread, &code));
    EXPECT_EQ(code, (i + 1) * 10);
    EXPECT_NE(std::find(pool.finishedBy.begin(), pool.finishedBy.end(), threads[i]->m_nThreadID),
              pool.finishedBy.end());
    delete threads[i];
  }
}

UINT ReturnsItsParameter(LPVOID parameter) { return static_cast<UINT>(reinterpret_cast<uintptr_t>(parameter)); }

// The default: the object is gone, its handle closed, by the time the
// thread's end is signalled. A second handle, taken while it was held at its
// start, sees that end.
TEST(MfcThreads, AnAutoDeletingWorkerIsGoneWhenItsEndIsSignalled) {
  CWinThread* thread = AfxBeginThread(ReturnsItsParameter, reinterpret_cast<LPVOID>(23), THREAD_PRIORITY_NORMAL, 0,
                                      CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(thread->m_bAutoDelete);
  const HANDLE own = thread->m_hThread;
  HANDLE second = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &second, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  thread->ResumeThread();  // the last use of `thread`
  ASSERT_EQ(WaitForSingleObject(second, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(second, &code));
  EXPECT_EQ(code, 23u);
  SetLastError(0);
  EXPECT_FALSE(GetExitCodeThread(own, &code));  // closed with its object
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(second);
}

TEST(MfcThreads, AKeptWorkerIsWaitedForAndReadAfterItsEnd) {
  CWinThread* thread = StartKept(ReturnsItsParameter, reinterpret_cast<LPVOID>(31));
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(static_cast<HANDLE>(*thread), thread->m_hThread);
  EXPECT_EQ(GetThreadId(thread->m_hThread), thread->m_nThreadID);
  ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread->m_hThread, &code));
  EXPECT_EQ(code, 31u);
  EXPECT_EQ(WaitForSingleObject(*thread, 0), WAIT_OBJECT_0);  // its handle stays open
  delete thread;
}

// A worker class of a program's own: tells of its destruction, and ends
// through AfxEndThread with or without deleting its object.
class CEndingThread : public CWinThread {
 public:
  CEndingThread(AFX_THREADPROC proc, CEvent* destroyed, BOOL deleteAtEnd)
      : CWinThread(proc, this), m_deleteAtEnd(deleteAtEnd), m_destroyed(destroyed) {}
  ~CEndingThread() override { m_destroyed->SetEvent(); }
  const BOOL m_deleteAtEnd;
  CWinThread* m_seenInside = nullptr;
  DWORD m_idInside = 0;

 private:
  CEvent* m_destroyed;
};

struct Unwound {
  bool* flag;
  ~Unwound() { *flag = true; }
};

bool g_unwound = false;

void EndsDeepInside(UINT code, BOOL deleteThread) {
  Unwound guard{&g_unwound};
  AfxEndThread(code, deleteThread);
}

UINT NotesItselfAndEnds(LPVOID parameter) {
  auto* self = static_cast<CEndingThread*>(parameter);
  self->m_seenInside = AfxGetThread();
  self->m_idInside = GetCurrentThreadId();
  EndsDeepInside(self->m_deleteAtEnd ? 17 : 5, self->m_deleteAtEnd);
  return 1;
}

TEST(MfcThreads, AfxEndThreadEndsTheWorkerWithItsCodeAndDeletesItsObject) {
  CEvent destroyed(FALSE, TRUE);
  auto* thread = new CEndingThread(NotesItselfAndEnds, &destroyed, TRUE);
  ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
  HANDLE second = nullptr;
  DuplicateHandle(GetCurrentProcess(), *thread, GetCurrentProcess(), &second, 0, FALSE, DUPLICATE_SAME_ACCESS);
  g_unwound = false;
  thread->ResumeThread();
  ASSERT_EQ(WaitForSingleObject(second, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(destroyed, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(g_unwound);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(second, &code));
  EXPECT_EQ(code, 17u);
  CloseHandle(second);
}

TEST(MfcThreads, AfxEndThreadWithoutDeleteKeepsTheObject) {
  CEvent destroyed(FALSE, TRUE);
  auto* thread = new CEndingThread(NotesItselfAndEnds, &destroyed, FALSE);
  g_unwound = false;
  ASSERT_TRUE(thread->CreateThread());
  ASSERT_EQ(WaitForSingleObject(*thread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(destroyed, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(g_unwound);
  EXPECT_EQ(thread->m_seenInside, thread);
  EXPECT_EQ(thread->m_idInside, thread->m_nThreadID);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(*thread, &code));
  EXPECT_EQ(code, 5u);
  delete thread;
  EXPECT_EQ(WaitForSingleObject(destroyed, 0), WAIT_OBJECT_0);
}

TEST(MfcThreads, OnlyAWorkerHasAThreadObjectOrCanBeEnded) {
  EXPECT_EQ(AfxGetThread(), nullptr);
  CWinThread* seen = reinterpret_cast<CWinThread*>(1);
  std::thread([&] { seen = AfxGetThread(); }).join();
  EXPECT_EQ(seen, nullptr);
  SetLastError(0);
  AfxEndThread(3);  // not a thread of the kit: returns
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(MfcThreads, ASuspendedStartCountsItsSuspensionsAndKeepsItsPriority) {
  CWinThread* thread = AfxBeginThread(ReturnsItsParameter, reinterpret_cast<LPVOID>(9), THREAD_PRIORITY_BELOW_NORMAL,
                                      0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  thread->m_bAutoDelete = FALSE;
  EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_BELOW_NORMAL);
  EXPECT_TRUE(thread->SetThreadPriority(THREAD_PRIORITY_HIGHEST));
  EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_HIGHEST);
  EXPECT_EQ(thread->SuspendThread(), 1u);
  EXPECT_EQ(thread->ResumeThread(), 2u);
  EXPECT_EQ(WaitForSingleObject(*thread, 50), WAIT_TIMEOUT);  // still held
  EXPECT_EQ(thread->ResumeThread(), 1u);
  ASSERT_EQ(WaitForSingleObject(*thread, 5000), WAIT_OBJECT_0);
  SetLastError(0);
  EXPECT_EQ(thread->SuspendThread(), static_cast<DWORD>(-1));  // a started thread cannot be held
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  SetLastError(0);
  EXPECT_FALSE(thread->CreateThread());  // once only
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  delete thread;
}

bool g_ran = false;

UINT NotesItRan(LPVOID) {
  g_ran = true;
  return 0;
}

TEST(MfcThreads, BadStartsRunNothing) {
  g_ran = false;
  SetLastError(0);
  EXPECT_EQ(AfxBeginThread(NotesItRan, nullptr, 3), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(AfxBeginThread(NotesItRan, nullptr, THREAD_PRIORITY_NORMAL, 0, 0x8), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(g_ran);
}

// The program returns from _tmain while its worker waits for good on a
// global event, which the end of the program destroys: it must end at once
// and cleanly (a hang is cut off by the time limit).
TEST(MfcThreads, AProgramEndsWhileItsWorkerIsBlocked) {
  const auto start = std::chrono::steady_clock::now();
  const ToolRun run = RunProgramSplit(XTB_WORKER_AT_EXIT, "", "", "timeout -s KILL 20");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.output, "worker blocked\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
