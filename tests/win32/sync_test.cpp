// Events, mutexes, semaphores, named objects, critical sections and the
// Interlocked* calls as Windows documents them.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "eventually.h"

namespace {

using namespace std::chrono_literals;

// Starts `count` threads that each wait once for `event` (up to five
// seconds) and count their release.
std::vector<std::thread> Waiters(HANDLE event, int count, std::atomic<int>& waiting, std::atomic<int>& released) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) {
    threads.emplace_back([&, event] {
      ++waiting;
      if (WaitForSingleObject(event, 5000) == WAIT_OBJECT_0) ++released;
    });
  }
  return threads;
}

TEST(Events, AnAutoResetEventReleasesOneWaiterPerSet) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> waiting{0}, released{0};
  std::vector<std::thread> threads = Waiters(event, 3, waiting, released);
  ASSERT_TRUE(Eventually([&] { return waiting == 3; }));
  std::this_thread::sleep_for(20ms);  // inside their waits
  for (int set = 1; set <= 3; ++set) {
    EXPECT_TRUE(SetEvent(event));
    ASSERT_TRUE(Eventually([&] { return released == set; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(released, set) << "one set released more than one waiter";
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);  // reset by the last waiter
  CloseHandle(event);
}

TEST(Events, AManualResetEventReleasesEveryoneUntilReset) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> waiting{0}, released{0};
  std::vector<std::thread> threads = Waiters(event, 3, waiting, released);
  ASSERT_TRUE(Eventually([&] { return waiting == 3; }));
  EXPECT_TRUE(SetEvent(event));
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(released, 3);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Events, APulseReleasesOnlyThoseWaitingAndLeavesTheEventReset) {
  for (BOOL manual : {TRUE, FALSE}) {
    HANDLE event = CreateEventA(nullptr, manual, FALSE, nullptr);
    EXPECT_TRUE(PulseEvent(event));  // nobody waits: nothing stays behind
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    std::atomic<int> waiting{0}, released{0};
    std::vector<std::thread> threads = Waiters(event, 2, waiting, released);
    ASSERT_TRUE(Eventually([&] { return waiting == 2; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_TRUE(PulseEvent(event));
    ASSERT_TRUE(Eventually([&] { return released == (manual ? 2 : 1); }));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    if (!manual) SetEvent(event);  // the second waiter of the auto-reset case
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(released, 2);
    CloseHandle(event);
  }
}

TEST(Mutexes, OwnershipIsRecursiveAndOnlyTheOwnerReleases) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // owned twice now
  std::thread([mutex] {
    EXPECT_EQ(WaitForSingleObject(mutex, 30), WAIT_TIMEOUT);
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  }).join();
  EXPECT_TRUE(ReleaseMutex(mutex));
  std::thread([mutex] { EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT); }).join();
  EXPECT_TRUE(ReleaseMutex(mutex));
  SetLastError(0);
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  std::thread([mutex] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
  }).join();
  CloseHandle(mutex);
}

TEST(Semaphores, TheCountIsBoundedByItsMaximum) {
  SetLastError(0);
  EXPECT_EQ(CreateSemaphoreA(nullptr, 3, 2, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateSemaphoreA(nullptr, 0, 0, nullptr), nullptr);
  EXPECT_EQ(CreateSemaphoreA(nullptr, -1, 2, nullptr), nullptr);

  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 3, nullptr);
  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
  EXPECT_EQ(previous, 1);
  SetLastError(0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, &previous));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  SetLastError(0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0) << i;
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 3, &previous));
  EXPECT_EQ(previous, 0);
  CloseHandle(semaphore);
}

TEST(NamedObjects, ANameFindsTheSameObjectUntilItsLastHandleIsClosed) {
  SetLastError(ERROR_GEN_FAILURE);
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "xtb-sync-test-event");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE second = CreateEventA(nullptr, FALSE, TRUE, "xtb-sync-test-event");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_TIMEOUT);  // the second call's state is ignored
  HANDLE opened = OpenEventA(EVENT_ALL_ACCESS, FALSE, "xtb-sync-test-event");
  EXPECT_TRUE(SetEvent(opened));
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);

  SetLastError(0);
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, "xtb-sync-test-event"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "xtb-sync-test-event"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  for (HANDLE handle : {first, second, opened}) CloseHandle(handle);
  SetLastError(0);
  EXPECT_EQ(OpenEventA(EVENT_ALL_ACCESS, FALSE, "xtb-sync-test-event"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(NamedObjects, AnExistingNamedMutexIsNotTakenByItsCreator) {
  HANDLE first = CreateMutexA(nullptr, FALSE, "xtb-sync-test-mutex");
  HANDLE second = CreateMutexA(nullptr, TRUE, "xtb-sync-test-mutex");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  std::thread([first] {
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(first));
  }).join();
  HANDLE opened = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "xtb-sync-test-mutex");
  EXPECT_NE(opened, nullptr);
  for (HANDLE handle : {first, second, opened}) CloseHandle(handle);
}

TEST(CriticalSections, ASectionIsRecursiveForItsOwnerAndExcludesOthers) {
  static CRITICAL_SECTION zeroed;  // a global never initialised, as programs leave them
  CRITICAL_SECTION member;
  InitializeCriticalSection(&member);
  for (LPCRITICAL_SECTION section : {&member, &zeroed}) {
    EnterCriticalSection(section);
    EXPECT_TRUE(TryEnterCriticalSection(section));
    std::thread([section] { EXPECT_FALSE(TryEnterCriticalSection(section)); }).join();
    LeaveCriticalSection(section);
    std::thread([section] {
      EXPECT_FALSE(TryEnterCriticalSection(section));
      LeaveCriticalSection(section);  // not the owner: no effect
    }).join();
    LeaveCriticalSection(section);
    std::thread([section] {
      EXPECT_TRUE(TryEnterCriticalSection(section));
      LeaveCriticalSection(section);
    }).join();
  }
  DeleteCriticalSection(&member);
  DeleteCriticalSection(&zeroed);
  EXPECT_FALSE(InitializeCriticalSectionAndSpinCount(nullptr, 4000));
}

TEST(CriticalSections, ThreadsCountingUnderASectionLoseNothing) {
  CRITICAL_SECTION section;
  ASSERT_TRUE(InitializeCriticalSectionAndSpinCount(&section, 4000));
  long total = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        EnterCriticalSection(&section);
        ++total;
        LeaveCriticalSection(&section);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(total, 80000);
  DeleteCriticalSection(&section);
}

TEST(Interlocked, ResultsAreTheDocumentedBeforeAndAfterValues) {
  volatile LONG value = 5;
  EXPECT_EQ(InterlockedIncrement(&value), 6);
  EXPECT_EQ(InterlockedDecrement(&value), 5);
  EXPECT_EQ(InterlockedExchange(&value, 9), 5);
  EXPECT_EQ(InterlockedExchangeAdd(&value, -4), 9);
  EXPECT_EQ(InterlockedCompareExchange(&value, 7, 4), 5);  // no match: unchanged
  EXPECT_EQ(InterlockedCompareExchange(&value, 7, 5), 5);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(InterlockedAnd(&value, 0x6), 7);
  EXPECT_EQ(InterlockedOr(&value, 0x8), 6);
  EXPECT_EQ(value, 14);

  volatile LONGLONG wide = 0x100000000LL;
  EXPECT_EQ(InterlockedIncrement64(&wide), 0x100000001LL);
  EXPECT_EQ(InterlockedExchangeAdd64(&wide, 0x100000000LL), 0x100000001LL);
  EXPECT_EQ(InterlockedCompareExchange64(&wide, 1, 0x200000001LL), 0x200000001LL);
  EXPECT_EQ(InterlockedExchange64(&wide, 2), 1);
  EXPECT_EQ(InterlockedDecrement64(&wide), 1);

  int a = 0, b = 0;
  PVOID volatile pointer = &a;
  EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, &b, nullptr), &a);
  EXPECT_EQ(InterlockedExchangePointer(&pointer, &b), &a);
  EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, nullptr, &b), &b);
  EXPECT_EQ(pointer, nullptr);

  volatile LONG counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) InterlockedIncrement(&counter);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
}

}  // namespace
