#include "parallelpool.h"

#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/platform/winapp.h>

#include <algorithm>
#include <utility>

#include "os/futex.h"
#include "os/thread.h"

namespace xtb {

namespace {

// How long a thread polls before it sleeps: a worker after its run (the
// next call of a loop of calls finds it awake), the caller for the end of
// the workers' runs.
constexpr unsigned kWorkerSpinMicroseconds = 200;
constexpr unsigned kCallerSpinMicroseconds = 50;

// Sleeps until `word` changes from `seen`, after polling for a while.
// `sleeping` tells the thread that changes the word to wake the sleeper.
void AwaitChange(std::atomic<uint32_t>& word, uint32_t seen, std::atomic<bool>& sleeping, unsigned spin) {
  if (os::SpinFor(spin, [&] { return word.load(std::memory_order_acquire) != seen; })) return;
  sleeping.store(true);
  while (word.load() == seen) os::FutexWait(word, seen);
  sleeping.store(false);
}

void Change(std::atomic<uint32_t>& word, std::atomic<bool>& sleeping) {
  word.fetch_add(1);
  if (sleeping.load()) os::FutexWakeOne(word);
}

// Offers the calling thread's messages to the application and dispatches
// them. A WM_QUIT stays in the queue for the application's own loop.
void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->PreTranslateMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int64_t ParallelChunk(int64_t count, int chunk, int workers) {
  if (chunk > 0) return chunk;
  const uint64_t share = static_cast<uint64_t>(count) / static_cast<uint64_t>(std::max(workers, 1)) / 2u;
  return std::max<int64_t>(static_cast<int64_t>(share), 1);
}

void RunInline(int from, int to, const XTParallelBody& body, const XTParallelInit& init,
               const XTParallelFinish& finish, XTParallelChunkLoop loop) {
  void* local = init ? init() : nullptr;
  loop(body, from, to, local);  // an empty body throws on its first index
  if (local != nullptr && finish) finish(local);
}

// A worker's part in a call: the dispatcher signals it; it either starts
// its run or, once every chunk is taken, has it taken back unstarted.
enum RunState : uint32_t { kIdle, kSignalled, kRunning };

// Written by the dispatcher while the worker is idle, read by the worker
// once it has started its run; `local` is the worker's until its run has
// ended.
struct ParallelPool::Worker {
  alignas(64) std::atomic<uint32_t> signal{0};  // polled by the idle worker
  std::atomic<bool> sleeping{false};
  std::atomic<uint32_t> run{kIdle};
  alignas(64) os::NativeThread thread;
  std::atomic<bool> quit{false};  // also read on wake-ups left over from a run taken back
  bool finishOnly = false;
  XTParallelBody body;
  XTParallelInit init;
  XTParallelFinish finish;
  void* local = nullptr;
};

ParallelPool::ParallelPool(int workers) {
  for (int i = 0; i < workers; ++i) {
    auto worker = std::make_unique<Worker>();
    Worker* record = worker.get();
    if (record->thread.Start([this, record] { WorkerLoop(*record); })) {
      record->thread.SetName("ParallelFor");
      m_workers.push_back(std::move(worker));
    }
  }
}

ParallelPool::~ParallelPool() { Shutdown(); }

void ParallelPool::Signal(Worker& worker) {
  worker.run.store(kSignalled);
  Change(worker.signal, worker.sleeping);
}

// A signalled worker takes the chunks of the call in order, one after the
// other, until none is left: each chunk goes to a worker that has become
// idle, without a round trip through the dispatcher per chunk.
void ParallelPool::RunChunks(Worker& worker) {
  for (;;) {
    if (m_failed.load(std::memory_order_relaxed)) return;
    const int64_t chunk = m_nextChunk.fetch_add(1, std::memory_order_relaxed);
    if (chunk >= m_chunkCount) return;
    if (worker.local == nullptr && worker.init) worker.local = worker.init();
    const int64_t first = m_from + chunk * m_step;
    const int64_t end = std::min(first + m_step, m_to);
    m_loop(worker.body, static_cast<int>(first), static_cast<int>(end), worker.local);
  }
}

void ParallelPool::WorkerLoop(Worker& worker) {
  uint32_t seen = 0;
  for (;;) {
    AwaitChange(worker.signal, seen, worker.sleeping, kWorkerSpinMicroseconds);
    seen = worker.signal.load(std::memory_order_acquire);
    if (worker.quit) return;
    // A run taken back before it started (or a wake-up left over from one)
    // is no run.
    uint32_t signalled = kSignalled;
    if (!worker.run.compare_exchange_strong(signalled, kRunning)) continue;
    try {
      if (worker.finishOnly) {
        if (worker.local != nullptr && worker.finish) worker.finish(worker.local);
        worker.local = nullptr;
      } else {
        RunChunks(worker);
      }
    } catch (...) {
      Fail(std::current_exception());
    }
    worker.run.store(kIdle);
    Change(m_ended, m_callerSleeping);
  }
}

void ParallelPool::Fail(std::exception_ptr error) {
  std::lock_guard lock(m_errorMutex);
  if (!m_error) m_error = std::move(error);
  m_failed.store(true);
}

uint32_t ParallelPool::TakeBackUnstartedRuns(size_t helpers) {
  uint32_t takenBack = 0;
  for (size_t i = 0; i < helpers; ++i) {
    uint32_t signalled = kSignalled;
    takenBack += m_workers[i]->run.compare_exchange_strong(signalled, kIdle) ? 1 : 0;
  }
  return takenBack;
}

uint32_t ParallelPool::WaitForRuns(uint32_t until, size_t bodyHelpers, bool pumpMessages) {
  for (;;) {
    // Once no chunk is left, a worker that has not started (its processor
    // busy with other work) is not waited for.
    if (bodyHelpers > 0 &&
        (m_failed.load() || m_nextChunk.load(std::memory_order_relaxed) >= m_chunkCount)) {
      until -= TakeBackUnstartedRuns(bodyHelpers);
      bodyHelpers = 0;
    }
    const uint32_t ended = m_ended.load(std::memory_order_acquire);
    if (ended == until) return ended;
    if (pumpMessages) {
      PumpMessages();
      Sleep(1);
    } else {
      AwaitChange(m_ended, ended, m_callerSleeping, kCallerSpinMicroseconds);
    }
  }
}

bool ParallelPool::Run(int from, int to, const XTParallelBody& body, int chunk, const XTParallelInit& init,
                       const XTParallelFinish& finish, bool pumpMessages, XTParallelChunkLoop loop) {
  std::unique_lock call(m_call, std::try_to_lock);
  // A child of fork() has none of its parent's workers.
  if (!call.owns_lock() || m_closed.load() || m_workers.empty() || !m_workers.front()->thread.InThisProcess())
    return false;
  if (!body) throw std::bad_function_call();

  m_from = from;
  m_to = to;
  m_step = ParallelChunk(m_to - m_from, chunk, WorkerCount());
  m_chunkCount = (m_to - m_from + m_step - 1) / m_step;
  m_loop = loop;
  m_nextChunk.store(0, std::memory_order_relaxed);
  // Every worker is idle between calls, so the count of ended runs moves
  // by this call's runs alone; it wraps around harmlessly.
  uint32_t ended = m_ended.load(std::memory_order_relaxed);
  const size_t helpers = static_cast<size_t>(std::min<int64_t>(m_chunkCount, WorkerCount()));
  for (size_t i = 0; i < helpers; ++i) {
    Worker& worker = *m_workers[i];
    worker.body = body;
    worker.init = init;
    worker.finishOnly = false;
    Signal(worker);
  }
  ended = WaitForRuns(ended + static_cast<uint32_t>(helpers), helpers, pumpMessages);

  // Every local value goes to finish on its own worker; either way the next
  // call starts without one. Only the helpers of this call hold anything.
  if (finish) {
    for (size_t i = 0; i < helpers; ++i) {
      Worker& worker = *m_workers[i];
      if (worker.local == nullptr) continue;
      worker.finish = finish;
      worker.finishOnly = true;
      Signal(worker);
      ++ended;
    }
    WaitForRuns(ended, 0, pumpMessages);
  }
  for (size_t i = 0; i < helpers; ++i) {
    Worker& worker = *m_workers[i];
    worker.body = nullptr;
    worker.init = nullptr;
    worker.finish = nullptr;
    worker.local = nullptr;
  }
  if (m_failed.load(std::memory_order_relaxed)) {
    m_failed.store(false, std::memory_order_relaxed);
    std::rethrow_exception(std::exchange(m_error, nullptr));
  }
  return true;
}

void ParallelPool::Shutdown() {
  std::lock_guard call(m_call);
  EndWorkers();
}

void ParallelPool::ShutdownUnlessBusy() {
  m_closed.store(true);
  std::unique_lock call(m_call, std::try_to_lock);
  if (call.owns_lock()) EndWorkers();
}

void ParallelPool::EndWorkers() {
  for (const auto& worker : m_workers) {
    worker->quit = true;
    Signal(*worker);
    worker->thread.Join();
  }
  m_workers.clear();
}

}  // namespace xtb
