// Threads by handle: exit codes, suspended starts, ExitThread, priorities,
// the handle of the calling thread, and a program that ends while a kit
// thread is blocked for good.
#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

DWORD WINAPI ReturnsItsParameter(LPVOID parameter) {
  return static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
}

DWORD WINAPI WaitsForTheEvent(LPVOID event) {
  return WaitForSingleObject(static_cast<HANDLE>(event), 10000) == WAIT_OBJECT_0 ? 7 : 99;
}

struct Unwound {
  bool* flag;
  ~Unwound() { *flag = true; }
};

DWORD WINAPI EndsEarly(LPVOID flag) {
  Unwound guard{static_cast<bool*>(flag)};
  ExitThread(42);
  return 1;
}

TEST(Threads, TheHandleIsSignalledWithTheRoutinesResult) {
  DWORD id = 0;
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, WaitsForTheEvent, event, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_EQ(GetThreadId(thread), id);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  SetEvent(event);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
  CloseHandle(thread);
  CloseHandle(event);
}

TEST(Threads, ASuspendedThreadStartsOnlyWhenItsLastSuspensionIsResumed) {
  HANDLE thread = CreateThread(nullptr, 0, ReturnsItsParameter, reinterpret_cast<LPVOID>(5), CREATE_SUSPENDED, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(SuspendThread(thread), 1u);
  EXPECT_EQ(ResumeThread(thread), 2u);
  EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(ResumeThread(thread), 0u);
  SetLastError(0);
  EXPECT_EQ(SuspendThread(thread), static_cast<DWORD>(-1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 5u);
  CloseHandle(thread);
}

TEST(Threads, ExitThreadUnwindsAndSetsTheExitCode) {
  bool unwound = false;
  HANDLE thread = CreateThread(nullptr, 0, EndsEarly, &unwound, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(unwound);
  CloseHandle(thread);
  // On a thread the kit did not start it refuses and returns.
  SetLastError(0);
  ExitThread(3);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(Threads, PrioritiesAreKeptAndBadValuesRefused) {
  HANDLE thread = CreateThread(nullptr, 0, ReturnsItsParameter, nullptr, CREATE_SUSPENDED, nullptr);
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_BELOW_NORMAL);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
  SetLastError(0);
  EXPECT_FALSE(SetThreadPriority(thread, 3));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
  ResumeThread(thread);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(Threads, BadCallsFailCleanly) {
  SetLastError(0);
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateThread(nullptr, 0, ReturnsItsParameter, nullptr, 0x8, nullptr), nullptr);
  DWORD code = 0;
  SetLastError(0);
  EXPECT_FALSE(GetExitCodeThread(reinterpret_cast<HANDLE>(0x7770), &code));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(ResumeThread(nullptr), static_cast<DWORD>(-1));
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_FALSE(GetExitCodeThread(event, &code));  // not a thread
  CloseHandle(event);
}

// The pseudo handle stands for the caller; its duplicate is a real handle,
// signalled when that thread ends, whoever started it.
TEST(Threads, TheCallersHandleBecomesRealWhenDuplicated) {
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(GetCurrentThread(), &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(GetThreadId(GetCurrentThread()), GetCurrentThreadId());
  HANDLE own = nullptr;
  std::atomic<bool> release{false};
  std::thread other([&] {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &own, 0, FALSE, 0);
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (own == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(WaitForSingleObject(own, 20), WAIT_TIMEOUT);
  release = true;
  other.join();
  EXPECT_EQ(WaitForSingleObject(own, 5000), WAIT_OBJECT_0);
  CloseHandle(own);
}

// A fresh process whose kit thread never returns must still end at exit():
// an alarm armed just before ends it by SIGALRM when it hangs.
TEST(Threads, AKitThreadBlockedForGoodDoesNotHoldUpExit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        static HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
              SetEvent(started);
              return WaitForSingleObject(never, INFINITE);
            },
            nullptr, 0, nullptr);
        if (WaitForSingleObject(started, 5000) != WAIT_OBJECT_0) std::exit(3);
        alarm(2);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
