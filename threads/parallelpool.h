// The worker pool behind ParallelFor. The process has one (created on the
// first call); tests make their own with a chosen number of workers.
//
// A call wakes as many workers as there are chunks (at most all of them),
// and each takes the next chunk from a shared counter until none is left: a
// chunk costs one atomic increment, not a hand-over. A woken worker that has
// not started by the time every chunk is taken (its processor busy with other
// work) is not waited for: its run is taken back. Workers and caller poll
// briefly before they sleep on a futex (os/futex.h). What one side polls
// sits in a cache line of its own, so that the other side's writes nearby
// do not pull it away from the poller.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>
#include <xtbasis/threads.h>

namespace xtb {

// The indexes per chunk of the parallel path: `chunk`, or for 0 and below
// (count / workers) / 2, at least 1.
int64_t ParallelChunk(int64_t count, int chunk, int workers);

// The calling thread's path: one local value from init, the bodies in
// ascending order, finish.
void RunInline(int from, int to, const XTParallelBody& body, const XTParallelInit& init,
               const XTParallelFinish& finish, XTParallelChunkLoop loop = &XTRunParallelChunk);

class ParallelPool {
 public:
  // Starts `workers` threads; those that cannot be started are left out.
  explicit ParallelPool(int workers);
  ~ParallelPool();
  ParallelPool(const ParallelPool&) = delete;
  ParallelPool& operator=(const ParallelPool&) = delete;

  int WorkerCount() const { return static_cast<int>(m_workers.size()); }

  // The parallel path over [from, to) (not empty). False, with nothing
  // run, when the pool has no workers or serves another call.
  bool Run(int from, int to, const XTParallelBody& body, int chunk, const XTParallelInit& init,
           const XTParallelFinish& finish, bool pumpMessages, XTParallelChunkLoop loop = &XTRunParallelChunk);

  // Ends every worker (waiting for a call in progress first) and empties the
  // pool; later calls find no workers.
  void Shutdown();
  // The same at the program's end, where nothing waits for a body: while a
  // call is in progress the pool stays as it is, and later calls run on
  // their own thread.
  void ShutdownUnlessBusy();

 private:
  struct Worker;

  void Signal(Worker& worker);
  // Waits until the count of ended runs is `until` and returns it; runs of
  // the first `bodyHelpers` workers that have not started when no chunk is
  // left are taken back and not counted.
  uint32_t WaitForRuns(uint32_t until, size_t bodyHelpers, bool pumpMessages);
  // Takes back the runs of the first `helpers` workers that have not
  // started; returns how many.
  uint32_t TakeBackUnstartedRuns(size_t helpers);
  void WorkerLoop(Worker& worker);
  void RunChunks(Worker& worker);
  void EndWorkers();
  void Fail(std::exception_ptr error);

  std::mutex m_call;  // held by the calling thread for a whole call, and by Shutdown
  std::atomic<bool> m_closed{false};  // a shutdown at exit has come: no further call
  std::vector<std::unique_ptr<Worker>> m_workers;
  // The call in progress, read by the workers: [m_from, m_to) in chunks of
  // m_step indexes, taken in order through m_nextChunk.
  alignas(64) int64_t m_from = 0;
  int64_t m_to = 0;
  int64_t m_step = 1;
  int64_t m_chunkCount = 0;
  XTParallelChunkLoop m_loop = nullptr;
  alignas(64) std::atomic<int64_t> m_nextChunk{0};
  std::atomic<bool> m_failed{false};
  alignas(64) std::atomic<uint32_t> m_ended{0};  // counts ended runs; the caller polls it
  std::atomic<bool> m_callerSleeping{false};  // the caller sleeps on m_ended
  alignas(64) std::mutex m_errorMutex;
  std::exception_ptr m_error;
};

}  // namespace xtb
