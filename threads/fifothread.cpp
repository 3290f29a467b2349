#include <xtbasis/threads.h>
#include <xtbasis/trace.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "jobthread.h"

struct CXTFIFOThread::Worker {
  explicit Worker(CXTFIFOThread& owner) : owner(owner), thread([this] { Wake(); }) {}

  void Wake() {
    { std::lock_guard lock(mutex); }  // a worker between its test and its wait sees the change
    changed.notify_all();
  }

  // Takes the head of the queue as the current job, waiting for one; false
  // when the worker is to quit.
  bool TakeJob() {
    std::unique_lock lock(mutex);
    for (;;) {
      if (thread.Quit()) return false;
      if (!queue.empty()) {
        current = std::move(queue.front());
        queue.pop_front();
        busy.store(true);
        return true;
      }
      changed.wait(lock);  // Schedule and SetQuit wake it: no polling needed
    }
  }

  unsigned int Loop() {
    while (TakeJob()) {
      if (current.name != named) {  // renaming costs a system call: only on a change
        xtb::os::SetCurrentThreadName(current.name);
        named = current.name;
      }
      if (current.function != nullptr) current.function(current.context);
      std::lock_guard lock(mutex);
      current = xtb::ThreadJob{};
      busy.store(false);
    }
    return thread.Finish([this] { return owner.OnQuit(); });
  }

  CXTFIFOThread& owner;
  std::mutex mutex;  // the queue and the current job
  std::condition_variable changed;
  std::deque<xtb::ThreadJob> queue;
  xtb::ThreadJob current;
  std::atomic<bool> busy{false};
  std::string named;  // the worker's name, the worker's own
  xtb::JobThread thread;  // last: ends before the members its worker uses
};

CXTFIFOThread::CXTFIFOThread() : m_worker(std::make_shared<Worker>(*this)) {}

CXTFIFOThread::~CXTFIFOThread() { m_worker->thread.LetGo(); }

bool CXTFIFOThread::Start() {
  m_worker->thread.Stop(true);
  {
    std::lock_guard lock(m_worker->mutex);
    m_worker->queue.clear();
    m_worker->current = xtb::ThreadJob{};
    m_worker->busy.store(false);
  }
  return m_worker->thread.Start([worker = m_worker] { worker->Loop(); }, "CXTFIFOThread");
}

bool CXTFIFOThread::Schedule(void* context, XTThreadJob job, const std::string& name) {
  xtb::ThreadJob candidate{context, job, name};
  bool duplicate = false;
  {
    std::lock_guard lock(m_worker->mutex);
    duplicate = m_worker->busy.load() && m_worker->current == candidate;
    for (const xtb::ThreadJob& queued : m_worker->queue) duplicate = duplicate || queued == candidate;
    if (!duplicate) m_worker->queue.push_back(std::move(candidate));
  }
  if (!duplicate) {
    m_worker->changed.notify_one();  // after the unlock: the worker need not wait for the lock
    return true;
  }
  XTTrace(XTTRACE_WARN, XTTRACE_PROGID_XTBASIS, "XTThreads", __LINE__, "CXTFIFOThread::Schedule: %s", name.c_str());
  return false;
}

void CXTFIFOThread::SetQuit() { m_worker->thread.SetQuit(); }

void CXTFIFOThread::Stop() { m_worker->thread.Stop(false); }

bool CXTFIFOThread::IsRunning() const { return m_worker->thread.IsRunning(); }

bool CXTFIFOThread::IsBusy() const { return m_worker->busy.load(); }

unsigned int CXTFIFOThread::OnQuit() { return 0; }
