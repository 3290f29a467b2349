// The start latency of a FIFO job (Schedule until the job runs) against a
// bare worker: a std::thread taking std::function jobs from a deque under a
// mutex and condition variable. Each round waits for its job to start
// before the next is scheduled.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>
#include <xtbasis/threads.h>

#include "peer_ratio.h"

namespace {

using Clock = std::chrono::steady_clock;

// Set by the job: the time it started, and that it is done.
std::atomic<Clock::rep> g_started{0};
std::atomic<bool> g_done{false};

void MarkStart() {
  g_started.store(Clock::now().time_since_epoch().count());
  g_done.store(true);
}

unsigned int __stdcall Job(void*) {
  MarkStart();
  return 0;
}

class BareWorker {
 public:
  BareWorker() : m_thread([this] { Loop(); }) {}
  ~BareWorker() {
    {
      std::lock_guard lock(m_mutex);
      m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
  }
  void Push(std::function<void()> job) {
    {
      std::lock_guard lock(m_mutex);
      m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
  }

 private:
  void Loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_wake.wait(lock, [&] { return m_quit || !m_jobs.empty(); });
      if (m_quit) return;
      std::function<void()> job = std::move(m_jobs.front());
      m_jobs.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_jobs;
  bool m_quit = false;
  std::thread m_thread;
};

// Times Schedule-to-start for each round; the state's manual time is the
// latency alone. The ratio compares medians: on a shared
// machine a few rounds wait for a processor far longer than the rest.
template <typename Schedule>
void Rounds(benchmark::State& state, Schedule schedule) {
  std::vector<double> latencies;
  for (auto _ : state) {
    g_done.store(false);
    const Clock::time_point asked = Clock::now();
    schedule();
    while (!g_done.load()) {
    }
    const std::chrono::duration<double> latency = Clock::duration(g_started.load()) - asked.time_since_epoch();
    state.SetIterationTime(latency.count());
    latencies.push_back(latency.count());
  }
  xtbbench::SetMedianTime(state, std::move(latencies));
}

void BM_FifoJobStart(benchmark::State& state) {
  CXTFIFOThread fifo;
  fifo.Start();
  // Alternating contexts: a job is never equal to the one that may still be
  // returning, so no round waits for the worker to become idle.
  uintptr_t round = 0;
  Rounds(state, [&] { fifo.Schedule(reinterpret_cast<void*>(++round % 2), Job, "Auftrag"); });
  fifo.SetQuit();
  fifo.Stop();
}

void BM_BareWorkerJobStart(benchmark::State& state) {
  BareWorker worker;
  Rounds(state, [&] { worker.Push(&MarkStart); });
}

BENCHMARK(BM_FifoJobStart)->UseManualTime();
BENCHMARK(BM_BareWorkerJobStart)->UseManualTime();

const xtbbench::Ratio fifo("BM_FifoJobStart", "BM_BareWorkerJobStart",
                          "FIFO job start / bare std::thread + condition variable queue", xtbbench::Clock::Median);

}  // namespace
