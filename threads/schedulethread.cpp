#include <xtbasis/threads.h>

#include <mutex>

#include "jobthread.h"

struct CXTScheduleThread::Worker {
  // No wake-up on quit: the event means "a job is scheduled"; the worker
  // sees the quit flag within its 100 ms slice.
  explicit Worker(CXTScheduleThread& owner) : owner(owner), thread([] {}) {}

  unsigned int Loop() {
    while (!thread.Quit()) {
      if (!scheduled.Wait(100) || thread.Quit()) continue;
      xtb::ThreadJob job;
      unsigned long generation;
      {
        std::lock_guard lock(mutex);
        job = slot;
        generation = scheduleCount;
      }
      xtb::os::SetCurrentThreadName(job.name);  // Schedule names a running worker; this one may have started since
      if (job.function != nullptr) job.function(job.context);
      // Busy ends with the run, unless another job was scheduled meanwhile.
      std::lock_guard lock(mutex);
      if (generation == scheduleCount) scheduled.Reset();
    }
    return thread.Finish([this] { return owner.OnQuit(); });
  }

  CXTScheduleThread& owner;
  std::mutex mutex;  // the slot and its count
  xtb::ThreadJob slot;
  unsigned long scheduleCount = 0;
  xtb::os::ManualResetEvent scheduled;
  xtb::JobThread thread;  // last: ends before the members its worker uses
};

CXTScheduleThread::CXTScheduleThread() : m_worker(std::make_shared<Worker>(*this)) {}

CXTScheduleThread::~CXTScheduleThread() { m_worker->thread.LetGo(); }

bool CXTScheduleThread::Start() {
  return m_worker->thread.Start([worker = m_worker] { worker->Loop(); }, "CXTScheduleThread");
}

bool CXTScheduleThread::Schedule(void* context, XTThreadJob job, const std::string& name) {
  {
    std::lock_guard lock(m_worker->mutex);
    m_worker->slot = xtb::ThreadJob{context, job, name};
    ++m_worker->scheduleCount;
    m_worker->scheduled.Set();
  }
  if (m_worker->thread.IsRunning()) m_worker->thread.thread().SetName(name);
  return true;
}

bool CXTScheduleThread::IsBusy(unsigned long timeoutMs) const {
  return m_worker->scheduled.Wait(static_cast<DWORD>(timeoutMs));
}

void CXTScheduleThread::SetQuit() { m_worker->thread.SetQuit(); }

void CXTScheduleThread::Stop() { m_worker->thread.Stop(false); }

bool CXTScheduleThread::IsRunning() const { return m_worker->thread.IsRunning(); }

unsigned int CXTScheduleThread::OnQuit() { return 0; }
