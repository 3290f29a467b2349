#include <gtest/gtest.h>
#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/threads.h>
#include <xtbasis/winapp.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "thread_support.h"
#include "parallelpool.h"
#include "os/thread.h"

namespace {

using namespace std::chrono_literals;

// Counts the calls of each index of [from, to) on the pool given.
void ExpectEachIndexOnce(xtb::ParallelPool& pool, int from, int to, int chunk) {
  const size_t count = static_cast<size_t>(to - from);
  std::unique_ptr<std::atomic<uint8_t>[]> calls(new std::atomic<uint8_t>[count + 1]());
  const XTParallelBody body = [&](int i, void*) { calls[static_cast<size_t>(i - from)]++; };
  if (count <= static_cast<size_t>(std::max(chunk, 0)) || !pool.Run(from, to, body, chunk, {}, {}, false))
    xtb::RunInline(from, to, body, {}, {});
  size_t wrong = 0;
  for (size_t i = 0; i < count; ++i) wrong += calls[i] != 1;
  EXPECT_EQ(wrong, 0u) << "range " << from << ".." << to << " chunk " << chunk;
}

TEST(ParallelForTest, EveryIndexRunsExactlyOnce) {
  xtb::ParallelPool pool(4);
  ASSERT_EQ(pool.WorkerCount(), 4);
  for (int to : {0, 1, 2, 7, 100, 1000, 1000000})
    for (int chunk : {0, 1, 7, 1000000}) ExpectEachIndexOnce(pool, 0, to, chunk);
  ExpectEachIndexOnce(pool, -50, 50, 3);
  ExpectEachIndexOnce(pool, 10, 1000, -5);  // a negative chunk counts as 0
}

TEST(ParallelForTest, ChunkZeroHandsOutHalfAWorkersShare) {
  EXPECT_EQ(xtb::ParallelChunk(100, 0, 4), 12);
  EXPECT_EQ(xtb::ParallelChunk(100, -3, 4), 12);
  EXPECT_EQ(xtb::ParallelChunk(5, 0, 4), 1);
  EXPECT_EQ(xtb::ParallelChunk(100, 7, 4), 7);
  EXPECT_EQ(xtb::ParallelChunk(4000000000LL, 0, 2), 1000000000);

  // The chunks of 0..100 on four workers: runs of 12 consecutive indexes on
  // one thread, the last one 96..99.
  xtb::ParallelPool pool(4);
  std::mutex mutex;
  std::vector<std::pair<DWORD, int>> ran(100);  // thread and its order
  std::map<DWORD, int> perThread;
  ASSERT_TRUE(pool.Run(0, 100, [&](int i, void*) {
    std::lock_guard lock(mutex);
    const DWORD self = GetCurrentThreadId();
    ran[static_cast<size_t>(i)] = {self, perThread[self]++};
  }, 0, {}, {}, false));
  for (int i = 1; i < 100; ++i) {
    if (i % 12 == 0) continue;
    EXPECT_EQ(ran[static_cast<size_t>(i)].first, ran[static_cast<size_t>(i - 1)].first) << i;
    EXPECT_EQ(ran[static_cast<size_t>(i)].second, ran[static_cast<size_t>(i - 1)].second + 1) << i;
  }
  EXPECT_EQ(perThread.count(GetCurrentThreadId()), 0u) << "the caller only dispatches";
}

TEST(ParallelForTest, RangesNotLargerThanTheChunkRunInlineWithOneLocalValue) {
  const DWORD caller = GetCurrentThreadId();
  std::vector<int> seen;
  int inits = 0, finishes = 0;
  int local = 0;
  ParallelFor(3, 8, [&](int i, void* value) {
    EXPECT_EQ(GetCurrentThreadId(), caller);
    EXPECT_EQ(value, &local);
    seen.push_back(i);
  }, 5, [&]() -> void* { ++inits; return &local; }, [&](void* value) { EXPECT_EQ(value, &local); ++finishes; });
  EXPECT_EQ(seen, (std::vector<int>{3, 4, 5, 6, 7}));
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(finishes, 1);

  // An empty range still makes and finishes a local value; a null one is not finished.
  ParallelFor(5, 5, [&](int, void*) { ADD_FAILURE(); }, 0, [&]() -> void* { ++inits; return &local; },
              [&](void*) { ++finishes; });
  ParallelFor(5, 5, [&](int, void*) { ADD_FAILURE(); }, 0, [&]() -> void* { ++inits; return nullptr; },
              [&](void*) { ++finishes; });
  EXPECT_EQ(inits, 3);
  EXPECT_EQ(finishes, 2);

  EXPECT_THROW(ParallelFor(0, 2, {}, 2), std::bad_function_call);
  const auto thrower = [](int i, void*) {
    if (i == 1) throw std::runtime_error("body");
  };
  EXPECT_THROW(ParallelFor(0, 3, thrower, 10), std::runtime_error);
}

// The chunk loop a caller hands in runs each chunk whole, once, and the
// inline path as one piece; the plain export runs the library's own loop.
std::mutex g_piecesMutex;
std::vector<std::pair<int, int>> g_pieces;

void RecordPiece(const XTParallelBody& body, int first, int end, void* local) {
  {
    std::lock_guard lock(g_piecesMutex);
    g_pieces.emplace_back(first, end);
  }
  XTRunParallelChunk(body, first, end, local);
}

TEST(ParallelForTest, TheCallersChunkLoopRunsEveryChunkAndThePlainExportWorksAlike) {
  std::atomic<int> sum{0};
  const XTParallelBody add = [&](int i, void*) { sum += i; };
  XTParallelForChunks(-5, 95, add, 10, {}, {}, false, &RecordPiece);
  std::sort(g_pieces.begin(), g_pieces.end());
  std::vector<std::pair<int, int>> chunks;
  for (int first = -5; first < 95; first += 10) chunks.emplace_back(first, first + 10);
  if (xtb::os::ProcessorCount() > 1) {
    EXPECT_EQ(g_pieces, chunks);
  }
  EXPECT_EQ(sum.load(), 4450);

  g_pieces.clear();
  XTParallelForChunks(2147483640, 2147483647, add, 7, {}, {}, false, &RecordPiece);
  EXPECT_EQ(g_pieces, (std::vector<std::pair<int, int>>{{2147483640, 2147483647}}));

  std::atomic<int> calls{0};
  xtb::exported::ParallelFor(0, 1000, [&](int, void*) { ++calls; }, 0, {}, {}, false);
  EXPECT_EQ(calls.load(), 1000);
}

// Each worker makes its local value once, on its first chunk, keeps it for
// its other chunks and hands it to finish once; the next call starts afresh.
TEST(ParallelForTest, InitOncePerWorkerAndFinishOncePerLocalValue) {
  xtb::ParallelPool pool(4);
  std::mutex mutex;
  std::map<void*, DWORD> made;  // local value and the thread that made it
  std::map<void*, int> finished;
  std::atomic<int> wrongThread{0};
  std::vector<std::unique_ptr<int>> values;
  const XTParallelInit init = [&]() -> void* {
    std::lock_guard lock(mutex);
    values.push_back(std::make_unique<int>(0));
    made[values.back().get()] = GetCurrentThreadId();
    return values.back().get();
  };
  const XTParallelBody body = [&](int, void* local) {
    std::lock_guard lock(mutex);
    if (made.at(local) != GetCurrentThreadId()) wrongThread++;
    ++*static_cast<int*>(local);
  };
  const XTParallelFinish finish = [&](void* local) {
    std::lock_guard lock(mutex);
    if (made.at(local) != GetCurrentThreadId()) wrongThread++;
    finished[local]++;
  };
  ASSERT_TRUE(pool.Run(0, 1000, body, 10, init, finish, false));
  EXPECT_LE(made.size(), 4u);
  EXPECT_EQ(finished.size(), made.size());
  int total = 0;
  for (const auto& [local, count] : finished) {
    EXPECT_EQ(count, 1);
    total += *static_cast<int*>(local);
  }
  EXPECT_EQ(total, 1000);
  EXPECT_EQ(wrongThread, 0);

  // Without finish the values are dropped all the same: a second call's
  // bodies only see values made in that call.
  std::set<void*> first;
  for (const auto& entry : made) first.insert(entry.first);
  ASSERT_TRUE(pool.Run(0, 1000, body, 10, init, {}, false));
  ASSERT_TRUE(pool.Run(0, 1000, [&](int, void* local) {
    std::lock_guard lock(mutex);
    if (first.count(local) != 0) wrongThread++;
  }, 10, init, {}, false));
  EXPECT_EQ(wrongThread, 0);
}

// A worker held where it cannot run (here: in a signal handler waiting for
// a semaphore, as a worker whose processor is taken by other work) does not
// hold up a call whose chunks the others can run; it is whole again later.
sem_t g_holdRelease;
std::atomic<bool> g_held{false};

void HoldThread(int) {
  g_held = true;
  while (sem_wait(&g_holdRelease) != 0) {
  }
  g_held = false;
}

TEST(ParallelForTest, AWorkerThatCannotStartDoesNotHoldUpTheCall) {
  xtb::ParallelPool pool(2);
  ASSERT_EQ(pool.WorkerCount(), 2);
  std::mutex mutex;
  std::map<DWORD, pthread_t> workers;
  ASSERT_TRUE(pool.Run(0, 2, [&](int, void*) {
    std::lock_guard lock(mutex);
    workers.emplace(GetCurrentThreadId(), pthread_self());
    std::this_thread::sleep_for(20ms);  // so that both workers take a chunk
  }, 1, {}, {}, false));
  ASSERT_EQ(workers.size(), 2u);
  const DWORD heldId = workers.begin()->first;
  const pthread_t held = workers.begin()->second;

  ASSERT_EQ(sem_init(&g_holdRelease, 0, 0), 0);
  struct sigaction action {};
  action.sa_handler = HoldThread;
  struct sigaction before {};
  ASSERT_EQ(sigaction(SIGUSR2, &action, &before), 0);
  ASSERT_EQ(pthread_kill(held, SIGUSR2), 0);
  while (!g_held) std::this_thread::yield();
  // Let go of the held worker after a while in any case, so that a call that
  // waits for it fails the test instead of hanging it.
  std::thread release([] {
    std::this_thread::sleep_for(2s);
    sem_post(&g_holdRelease);
  });

  std::atomic<int> calls{0};
  std::atomic<int> onHeld{0};
  ASSERT_TRUE(pool.Run(0, 100, [&](int, void*) {
    ++calls;
    if (GetCurrentThreadId() == heldId) ++onHeld;
  }, 1, {}, {}, false));
  EXPECT_TRUE(g_held) << "the call waited for the worker that could not start";
  EXPECT_EQ(calls.load(), 100);
  EXPECT_EQ(onHeld.load(), 0);
  release.join();
  while (g_held) std::this_thread::yield();
  sigaction(SIGUSR2, &before, nullptr);
  sem_destroy(&g_holdRelease);

  // Both workers serve the next calls as before.
  std::set<DWORD> serving;
  ASSERT_TRUE(pool.Run(0, 2, [&](int, void*) {
    {
      std::lock_guard lock(mutex);
      serving.insert(GetCurrentThreadId());
    }
    std::this_thread::sleep_for(20ms);
  }, 1, {}, {}, false));
  EXPECT_EQ(serving.size(), 2u);
  ExpectEachIndexOnce(pool, 0, 10000, 0);
}

// Every worker takes part when each chunk outlasts the hand-out; the call
// returns only after the last of their bodies and finishes have ended.
TEST(ParallelForTest, ReturnsOnlyAfterEveryBodyAndFinishHasEnded) {
  xtb::ParallelPool pool(4);
  std::atomic<int> ended{0};
  std::atomic<int> finished{0};
  int local = 0;
  for (int round = 0; round < 3; ++round) {
    ended = 0;
    finished = 0;
    ASSERT_TRUE(pool.Run(0, 8, [&](int, void*) {
      std::this_thread::sleep_for(10ms);
      ended++;
    }, 1, [&]() -> void* { return &local; }, [&](void*) {
      std::this_thread::sleep_for(10ms);
      finished++;
    }, false));
    EXPECT_EQ(ended.load(), 8);
    EXPECT_EQ(finished.load(), 4);
  }
}

TEST(ParallelForTest, AThrowingBodyReachesTheCallerAndThePoolStaysWhole) {
  xtb::ParallelPool pool(3);
  std::atomic<int> finishes{0};
  int local = 0;
  const auto thrower = [](int i, void*) {
    if (i == 500) throw std::runtime_error("Index 500");
  };
  try {
    pool.Run(0, 10000, thrower, 10, [&]() -> void* { return &local; }, [&](void*) { finishes++; }, false);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Index 500");
  }
  EXPECT_GE(finishes, 1);
  EXPECT_EQ(pool.WorkerCount(), 3);
  ExpectEachIndexOnce(pool, 0, 10000, 10);
}

TEST(ParallelForTest, AShutDownPoolLeavesEveryCallToTheCaller) {
  xtb::ParallelPool pool(2);
  pool.Shutdown();
  EXPECT_EQ(pool.WorkerCount(), 0);
  EXPECT_FALSE(pool.Run(0, 10, [](int, void*) {}, 1, {}, {}, false));
  xtb::ParallelPool none(0);
  EXPECT_FALSE(none.Run(0, 10, [](int, void*) {}, 1, {}, {}, false));
}

// A second caller while a call is in progress (here: a body calling
// ParallelFor on a worker) runs on its own thread.
TEST(ParallelForTest, NestedCallsRunOnTheirOwnThread) {
  std::atomic<int> wrong{0}, calls{0};
  ParallelFor(0, 8, [&](int, void*) {
    const DWORD outer = GetCurrentThreadId();
    ParallelFor(0, 10, [&](int, void*) {
      calls++;
      if (GetCurrentThreadId() != outer) wrong++;
    }, 1);
  }, 1);
  EXPECT_EQ(calls, 80);
  EXPECT_EQ(wrong, 0);
}

// A child of fork() has no workers: its calls run inline, and the pool's
// shutdown at its exit does not wait for threads that are not there.
TEST(ParallelForTest, AForkedChildRunsItsCallsInline) {
  // The pool runs in this process, and every worker is past its start before
  // the fork: each index waits for all the others. (A thread forked away in
  // the middle of its start can leave a sanitizer's lock held in the child.)
  const int workers = xtb::os::ProcessorCount();
  std::atomic<int> arrived{0};
  ParallelFor(0, workers, [&](int, void*) {
    arrived++;
    Eventually([&] { return arrived == workers; });
  }, 1);
  ASSERT_EQ(arrived, workers);
  const pid_t child = fork();
  if (child == 0) {
    alarm(20);  // a hang fails the test instead of stopping the suite
    const DWORD self = GetCurrentThreadId();
    std::atomic<int> elsewhere{0};
    ParallelFor(0, 100, [&](int, void*) {
      if (GetCurrentThreadId() != self) elsewhere++;
    }, 1);
    std::exit(elsewhere == 0 ? 0 : 1);  // runs the exit handlers
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

class PumpingApp : public CXTWinApp {
 public:
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_APP + 7) return FALSE;
    seen.store(GetCurrentThreadId());
    return TRUE;
  }
  std::atomic<DWORD> seen{0};
};

// While the workers run, the calling thread keeps offering its messages to
// the application; a WM_QUIT stays for the application's own loop. Then the
// application's end shuts the pool down, and later calls run inline.
TEST(ParallelForTest, PumpsTheCallersMessagesAndEndsWithTheApplication) {
  if (xtb::os::ProcessorCount() < 2) GTEST_SKIP() << "one processor: every call runs inline";
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, without this one's threads
  EXPECT_EXIT(
      {
        PumpingApp app;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        const DWORD caller = GetCurrentThreadId();
        std::atomic<int> outside{0};
        ParallelFor(0, 2, [&](int i, void*) {
          if (GetCurrentThreadId() == caller) outside++;
          if (i != 0) return;
          PostThreadMessageA(caller, WM_APP + 7, 0, 0);
          Eventually([&] { return app.seen.load() != 0; });
        }, 1, {}, {}, true);
        if (app.seen.load() != caller || outside != 0) std::exit(1);
        PostQuitMessage(4);
        ParallelFor(0, 2, [](int, void*) {}, 1, {}, {}, true);
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) || msg.message != WM_QUIT) std::exit(2);

        app.ExitInstance();
        ParallelFor(0, 100, [&](int, void*) {
          if (GetCurrentThreadId() != caller) outside++;
        }, 1);
        std::exit(outside == 0 ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
