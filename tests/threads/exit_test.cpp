// Worker objects at the program's end: a global worker whose job never
// returns, and a ParallelFor call still running on another thread, must not
// hold up exit(). Each case runs in a fresh process that arms an alarm of
// one second just before it exits: a hang ends it by SIGALRM.
#include <gtest/gtest.h>
#include <unistd.h>
#include <xtbasis/mailslot.h>
#include <xtbasis/threads.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "os/thread.h"
#include "scratch_dir.h"
#include "thread_support.h"

namespace {

std::atomic<bool> g_reading{false};

unsigned int __stdcall ReadOneMail(void* context) {
  CString sender, text;
  MAILTYPES type;
  g_reading = true;
  static_cast<CXTMailslotServer*>(context)->Read(sender, type, text);  // no mail ever comes
  return 0;
}

// Mail to nobody: the job blocks in Read for good.
[[noreturn]] void ExitWhileAGlobalWorkerReads(bool fifo) {
  static ScratchDir folder;
  setenv("XTBASIS_MAIL_DIR", folder.Path("mail").c_str(), 1);
  static CXTMailslotServer server;
  static CXTFIFOThread fifoWorker;
  static CXTScheduleThread scheduleWorker;
  if (!server.Create("xtbexit", "")) std::exit(2);
  const bool started = fifo ? fifoWorker.Start() && fifoWorker.Schedule(&server, ReadOneMail, "Empfang")
                            : scheduleWorker.Start() && scheduleWorker.Schedule(&server, ReadOneMail, "Empfang");
  if (!started || !Eventually([] { return g_reading.load(); })) std::exit(3);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // well inside recv
  alarm(1);
  std::exit(0);
}

TEST(WorkerExitTest, AGlobalFifoWorkerBlockedInReadDoesNotHoldUpExit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ExitWhileAGlobalWorkerReads(true), ::testing::ExitedWithCode(0), "");
}

TEST(WorkerExitTest, AGlobalScheduleWorkerBlockedInReadDoesNotHoldUpExit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ExitWhileAGlobalWorkerReads(false), ::testing::ExitedWithCode(0), "");
}

// Without an application object the pool's shutdown runs at exit(); a call
// in progress on another thread is not waited for.
TEST(WorkerExitTest, AParallelForCallStillRunningDoesNotHoldUpExit) {
  if (xtb::os::ProcessorCount() < 2) GTEST_SKIP() << "one processor: every call runs inline";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static std::atomic<bool> running{false};
        std::thread([] {
          ParallelFor(0, 100, [](int, void*) {
            running = true;
            for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
          }, 1);
        }).detach();
        if (!Eventually([] { return running.load(); })) std::exit(3);
        alarm(1);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
