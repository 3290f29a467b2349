#include <gtest/gtest.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/threads.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <mutex>
#include <string>
#include <vector>

#include "frame_fixture.h"
#include "thread_support.h"

namespace {

using namespace std::chrono_literals;

// A job that records its run and can be held until released.
struct Probe {
  std::mutex mutex;
  std::vector<std::string> runs;  // "<context> on <thread name>"
  std::atomic<bool> hold{false};
  std::atomic<int> started{0};
  std::atomic<DWORD> threadId{0};
};
Probe* g_probe = nullptr;

// The worker's name as the job starts: a schedule thread is renamed by the
// next Schedule while the job still runs.
unsigned int __stdcall RecordJob(void* context) {
  const std::string name = CurrentThreadName();
  g_probe->threadId = GetCurrentThreadId();
  g_probe->started++;
  while (g_probe->hold.load()) std::this_thread::sleep_for(1ms);
  std::lock_guard lock(g_probe->mutex);
  g_probe->runs.push_back(std::string(static_cast<const char*>(context)) + " on " + name);
  return 0;
}

unsigned int __stdcall OtherJob(void*) { return 1; }

class WorkerThreadTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    SetTraceText("TraceLevel", "2");
    g_probe = &m_probe;
  }
  std::vector<std::string> Runs() {
    std::lock_guard lock(m_probe.mutex);
    return m_probe.runs;
  }
  Probe m_probe;
};

// A worker class that counts its OnQuit calls and ends its worker itself.
template <typename Base>
class Counting : public Base {
 public:
  ~Counting() override {
    this->SetQuit();
    this->Stop();
  }
  std::atomic<int> quits{0};

 protected:
  unsigned int OnQuit() override {
    quits++;
    return 7;
  }
};
using CountingFIFOThread = Counting<CXTFIFOThread>;
using CountingScheduleThread = Counting<CXTScheduleThread>;

TEST_F(WorkerThreadTest, FifoRunsJobsInArrivalOrderOnItsWorkerNamedAfterEachJob) {
  CountingFIFOThread fifo;
  EXPECT_FALSE(fifo.IsRunning());
  ASSERT_TRUE(fifo.Start());
  EXPECT_TRUE(fifo.IsRunning());
  char a[] = "a", b[] = "b", c[] = "c";
  m_probe.hold = true;
  ASSERT_TRUE(fifo.Schedule(a, RecordJob, "erster Auftrag"));
  ASSERT_TRUE(Eventually([&] { return m_probe.started == 1; }));
  EXPECT_TRUE(fifo.IsBusy());
  ASSERT_TRUE(fifo.Schedule(b, RecordJob, "zweiter"));
  ASSERT_TRUE(fifo.Schedule(c, RecordJob, "Pr\xfc" "fung"));  // 1252 text, named in UTF-8
  m_probe.hold = false;
  ASSERT_TRUE(Eventually([&] { return Runs().size() == 3 && !fifo.IsBusy(); }));
  EXPECT_EQ(Runs(), (std::vector<std::string>{"a on erster Auftrag", "b on zweiter", "c on Pr\xc3\xbc" "fung"}));
  EXPECT_NE(m_probe.threadId.load(), GetCurrentThreadId());
  fifo.SetQuit();
  fifo.Stop();
  EXPECT_FALSE(fifo.IsRunning());
  EXPECT_EQ(fifo.quits, 1);
}

TEST_F(WorkerThreadTest, FifoRefusesAJobEqualToTheRunningOrAQueuedOneWithAWarning) {
  CountingFIFOThread fifo;
  ASSERT_TRUE(fifo.Start());
  char a[] = "a", b[] = "b";
  m_probe.hold = true;
  ASSERT_TRUE(fifo.Schedule(a, RecordJob, "Abgleich"));
  ASSERT_TRUE(Eventually([&] { return m_probe.started == 1; }));
  EXPECT_FALSE(fifo.Schedule(a, RecordJob, "Abgleich"));  // the running job
  ASSERT_TRUE(fifo.Schedule(b, RecordJob, "Abgleich"));
  EXPECT_FALSE(fifo.Schedule(b, RecordJob, "Abgleich"));   // a queued job
  EXPECT_TRUE(fifo.Schedule(b, RecordJob, "Abgleich2"));   // another name
  EXPECT_TRUE(fifo.Schedule(b, OtherJob, "Abgleich"));     // another function
  EXPECT_TRUE(fifo.Schedule(a, RecordJob, std::string("Abgleich\0", 9)));  // another length
  m_probe.hold = false;
  ASSERT_TRUE(Eventually([&] { return Runs().size() == 4 && !fifo.IsBusy(); }));
  EXPECT_TRUE(fifo.Schedule(a, RecordJob, "Abgleich"));  // no longer running
  ASSERT_TRUE(Eventually([&] { return Runs().size() == 5; }));

  const std::string trace = Read(TraceFile());
  size_t refusals = 0;
  for (size_t at = trace.find("\tCXTFIFOThread::Schedule: Abgleich\r\n"); at != std::string::npos;
       at = trace.find("\tCXTFIFOThread::Schedule: Abgleich\r\n", at + 1))
    ++refusals;
  EXPECT_EQ(refusals, 2u) << trace;
  EXPECT_EQ(trace.rfind("WARN \t", 0), 0u) << trace;
  EXPECT_NE(trace.find("\t-999\tXTThreads:"), std::string::npos) << trace;
}

TEST_F(WorkerThreadTest, FifoQuitsAtOnceWhenIdleAndAfterTheRunningJobDroppingTheQueue) {
  CountingFIFOThread fifo;
  fifo.Stop();  // never started: returns at once
  EXPECT_FALSE(fifo.IsRunning());

  ASSERT_TRUE(fifo.Start());
  auto asked = std::chrono::steady_clock::now();
  fifo.SetQuit();
  fifo.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);  // woken, not left waiting
  EXPECT_EQ(fifo.quits, 1);

  ASSERT_TRUE(fifo.Start());  // usable again
  char a[] = "a", b[] = "b";
  m_probe.hold = true;
  ASSERT_TRUE(fifo.Schedule(a, RecordJob, "lang"));
  ASSERT_TRUE(Eventually([&] { return m_probe.started == 1; }));
  ASSERT_TRUE(fifo.Schedule(b, RecordJob, "wartet"));
  fifo.SetQuit();
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(fifo.IsRunning());
  EXPECT_TRUE(fifo.IsBusy());
  m_probe.hold = false;
  fifo.Stop();
  EXPECT_EQ(Runs(), (std::vector<std::string>{"a on lang"}));
  EXPECT_EQ(fifo.quits, 2);
}

// Counts OnQuit calls without ending its worker in its destructor.
template <typename Base>
class Leaving : public Base {
 public:
  static inline std::atomic<int> quits{0};

 protected:
  unsigned int OnQuit() override {
    quits++;
    return 0;
  }
};

bool ThreadGone(DWORD threadId) { return !std::filesystem::exists("/proc/self/task/" + std::to_string(threadId)); }

// The destructor returns while the job still runs; the worker finishes it
// and ends without calling into the object it no longer has (the sanitizer
// builds would catch a read of the freed object).
template <typename Worker>
void ExpectTheDestructorLetsABusyWorkerGo(Probe& probe, const std::function<std::vector<std::string>()>& runs) {
  Leaving<Worker>::quits = 0;
  probe.hold = true;
  static char context[] = "a";
  auto worker = std::make_unique<Leaving<Worker>>();
  ASSERT_TRUE(worker->Start());
  ASSERT_TRUE(worker->Schedule(context, RecordJob, "lang"));
  ASSERT_TRUE(Eventually([&] { return probe.started == 1; }));
  // A destructor that waited would hang here; the release after 3 s turns
  // that into a failure.
  std::thread release([&] {
    std::this_thread::sleep_for(3s);
    probe.hold = false;
  });
  const auto asked = std::chrono::steady_clock::now();
  worker.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);
  EXPECT_TRUE(runs().empty()) << "the job had to end before the destructor returned";
  release.join();
  ASSERT_TRUE(Eventually([&] { return runs().size() == 1; }));
  ASSERT_TRUE(Eventually([&] { return ThreadGone(probe.threadId); }));
  EXPECT_EQ(Leaving<Worker>::quits, 0);
}

TEST_F(WorkerThreadTest, DestructorsNeitherStopNorWaitForABusyWorker) {
  ExpectTheDestructorLetsABusyWorkerGo<CXTFIFOThread>(m_probe, [this] { return Runs(); });
  m_probe.started = 0;
  m_probe.runs.clear();  // the worker that wrote it has ended
  ExpectTheDestructorLetsABusyWorkerGo<CXTScheduleThread>(m_probe, [this] { return Runs(); });
}

TEST_F(WorkerThreadTest, ScheduleThreadIsBusyFromScheduleUntilTheJobReturns) {
  CountingScheduleThread worker;
  EXPECT_FALSE(worker.IsBusy(0));
  ASSERT_TRUE(worker.Start());
  EXPECT_FALSE(worker.IsBusy(20));
  char a[] = "a", b[] = "b";
  m_probe.hold = true;
  ASSERT_TRUE(worker.Schedule(a, RecordJob, "Sicherung"));
  EXPECT_TRUE(worker.IsBusy(0));
  ASSERT_TRUE(Eventually([&] { return m_probe.started == 1; }));
  EXPECT_TRUE(worker.IsBusy(0));
  // Scheduled while the first runs: runs after it, and busy lasts until then.
  ASSERT_TRUE(worker.Schedule(b, RecordJob, "Nachlauf"));
  m_probe.hold = false;
  ASSERT_TRUE(Eventually([&] { return Runs().size() == 2; }));
  ASSERT_TRUE(Eventually([&] { return !worker.IsBusy(0); }));
  EXPECT_EQ(Runs(), (std::vector<std::string>{"a on Sicherung", "b on Nachlauf"}));
  EXPECT_NE(m_probe.threadId.load(), GetCurrentThreadId());

  auto asked = std::chrono::steady_clock::now();
  worker.SetQuit();
  worker.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);  // within its 100 ms slice, with room for a busy machine
  EXPECT_EQ(worker.quits, 1);
  EXPECT_FALSE(worker.IsBusy(0));
}

TEST_F(WorkerThreadTest, ScheduleThreadRunsOnlyTheLastJobScheduledBeforeItStarted) {
  CountingScheduleThread worker;
  char a[] = "a", b[] = "b";
  ASSERT_TRUE(worker.Schedule(a, RecordJob, "alt"));
  ASSERT_TRUE(worker.Schedule(b, RecordJob, "neu"));
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(Eventually([&] { return !worker.IsBusy(0); }));
  EXPECT_EQ(Runs(), (std::vector<std::string>{"b on neu"}));
}

}  // namespace
