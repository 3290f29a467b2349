// Waiting as Windows documents it: any and all of several objects with
// time-outs, the atomic take of a wait for all, abandoned mutexes, and the
// refusals of bad calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long MillisecondsSince(Clock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST(Waits, AnyGivesTheLowestSignalledIndexAndTakesOnlyThatOne) {
  HANDLE events[3] = {CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, TRUE, nullptr),
                      CreateEventA(nullptr, FALSE, TRUE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
  // The first wait took event 1 only: event 2 is still set.
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
  for (HANDLE event : events) CloseHandle(event);
}

TEST(Waits, AnyTimesOutAfterItsTimeAndWakesWhenOneIsSet) {
  HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  Clock::time_point start = Clock::now();
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 80), WAIT_TIMEOUT);
  EXPECT_GE(MillisecondsSince(start), 80);
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SetEvent(events[1]);
  });
  start = Clock::now();
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 5000), WAIT_OBJECT_0 + 1);
  EXPECT_LT(MillisecondsSince(start), 4000);
  setter.join();
  for (HANDLE event : events) CloseHandle(event);
}

// A wait for all that times out has taken nothing: the auto-reset event and
// the semaphore keep their state for others.
TEST(Waits, AllTakesNothingUntilEveryObjectIsSignalled) {
  HANDLE objects[3] = {CreateEventA(nullptr, FALSE, TRUE, nullptr), CreateSemaphoreA(nullptr, 1, 1, nullptr),
                       CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, 50), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(objects[0], 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(objects[1], 0), WAIT_OBJECT_0);
  SetEvent(objects[0]);
  ReleaseSemaphore(objects[1], 1, nullptr);

  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SetEvent(objects[2]);
  });
  EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, 5000), WAIT_OBJECT_0);
  setter.join();
  // Now all were taken together; the manual-reset event stays set.
  EXPECT_EQ(WaitForSingleObject(objects[0], 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(objects[1], 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(objects[2], 0), WAIT_OBJECT_0);
  for (HANDLE object : objects) CloseHandle(object);
}

// Two threads each wait for all of {A, B} and {B, C}; B is an auto-reset
// event. Each round sets all three: exactly one of the waits may win B, and
// the loser must not have taken A or C.
TEST(Waits, CompetingWaitsForAllNeverTakeHalf) {
  HANDLE a = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE b = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE c = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> wins{0};
  std::atomic<bool> stop{false};
  auto waiter = [&](HANDLE first, HANDLE second) {
    HANDLE pair[2] = {first, second};
    while (!stop) {
      if (WaitForMultipleObjects(2, pair, TRUE, 20) == WAIT_OBJECT_0) ++wins;
    }
  };
  std::thread left(waiter, a, b);
  std::thread right(waiter, b, c);
  for (int round = 0; round < 50; ++round) {
    const int before = wins;
    SetEvent(a);
    SetEvent(c);
    SetEvent(b);
    const Clock::time_point start = Clock::now();
    while (wins == before && MillisecondsSince(start) < 2000) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(wins, before + 1) << "round " << round;
    // The loser's own event is still set, the winner's are gone: one of A
    // and C is set, never both or neither.
    const bool aSet = WaitForSingleObject(a, 0) == WAIT_OBJECT_0;
    const bool cSet = WaitForSingleObject(c, 0) == WAIT_OBJECT_0;
    ASSERT_NE(aSet, cSet) << "round " << round;
  }
  stop = true;
  left.join();
  right.join();
  for (HANDLE event : {a, b, c}) CloseHandle(event);
}

TEST(Waits, AMutexLeftByAnEndedThreadIsAbandonedOnce) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  std::thread([mutex] { EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0); }).join();
  HANDLE objects[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), mutex};
  EXPECT_EQ(WaitForMultipleObjects(2, objects, FALSE, 1000), WAIT_ABANDONED_0 + 1);
  // The caller owns it now, and it is no longer abandoned.
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(objects[0]);
  CloseHandle(mutex);
}

TEST(Waits, AMutexAbandonedInAWaitForAllIsReported) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  std::thread([mutex] { WaitForSingleObject(mutex, 0); }).join();
  HANDLE objects[2] = {CreateEventA(nullptr, TRUE, TRUE, nullptr), mutex};
  EXPECT_EQ(WaitForMultipleObjects(2, objects, TRUE, 1000), WAIT_ABANDONED_0 + 1);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(objects[0]);
  CloseHandle(mutex);
}

TEST(Waits, BadCallsFailWithWindowsErrors) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE many[MAXIMUM_WAIT_OBJECTS + 1];
  for (HANDLE& handle : many) handle = event;
  struct Case {
    DWORD count;
    const HANDLE* handles;
    BOOL all;
    DWORD error;
  } cases[] = {
      {0, many, FALSE, ERROR_INVALID_PARAMETER},
      {MAXIMUM_WAIT_OBJECTS + 1, many, FALSE, ERROR_INVALID_PARAMETER},
      {1, nullptr, FALSE, ERROR_INVALID_PARAMETER},
      {2, many, TRUE, ERROR_INVALID_PARAMETER},  // the same object twice in a wait for all
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(c.count, c.handles, c.all, 0), WAIT_FAILED) << c.count;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error)) << c.count;
  }
  // The same object twice is fine in a wait for any, and 64 are allowed.
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, many, FALSE, 0), WAIT_OBJECT_0);
  HANDLE duplicate = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &duplicate, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  HANDLE pair[2] = {event, duplicate};
  SetLastError(0);
  EXPECT_EQ(WaitForMultipleObjects(2, pair, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, GetCurrentThread(),
                     reinterpret_cast<HANDLE>(0x123450)}) {
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(bad, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  CloseHandle(duplicate);
  CloseHandle(event);
  SetLastError(0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Waits, ADuplicatedHandleKeepsTheObjectAfterTheFirstIsClosed) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE copy = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                              DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS));
  EXPECT_FALSE(CloseHandle(event));  // closed by the duplication
  EXPECT_TRUE(SetEvent(copy));
  EXPECT_EQ(WaitForSingleObject(copy, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(copy));
  HANDLE other = nullptr;
  SetLastError(0);
  EXPECT_FALSE(DuplicateHandle(reinterpret_cast<HANDLE>(0x40), copy, GetCurrentProcess(), &other, 0, FALSE, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

}  // namespace
