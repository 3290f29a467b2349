// The framework's synchronisation classes as a ported program uses them:
// locks that give back what they took at the end of their scope, waits for
// any or all with time-outs, an abandoned mutex, events waking one or all,
// semaphore counts and the constructors' failures.
#include <afxmt.h>
#include <afxwin.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "eventually.h"

namespace {

using namespace std::chrono_literals;

// Whether another thread could take `object` at once (and it gives it back).
bool FreeForOthers(CSyncObject& object) {
  bool taken = false;
  std::thread other([&] {
    CSingleLock lock(&object);
    taken = lock.Lock(0) != FALSE;
  });
  other.join();
  return taken;
}

bool SectionFreeForOthers(CCriticalSection& section) {
  bool entered = false;
  std::thread other([&] {
    entered = TryEnterCriticalSection(section) != FALSE;
    if (entered) LeaveCriticalSection(section);
  });
  other.join();
  return entered;
}

// Holds `object` on a thread of its own until Release (or its end).
class HeldElsewhere {
 public:
  explicit HeldElsewhere(CSyncObject& object)
      : m_thread([this, &object] {
          CSingleLock lock(&object, TRUE);
          m_held.SetEvent();
          m_release.Lock(10000);
        }) {
    m_held.Lock(5000);
  }
  ~HeldElsewhere() { Release(); }
  void Release() {
    m_release.SetEvent();
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  CEvent m_held{FALSE, TRUE};
  CEvent m_release{FALSE, TRUE};
  std::thread m_thread;
};

TEST(MfcSingleLock, GivesBackWhatItTookAtTheEndOfItsScope) {
  CCriticalSection section;
  {
    CSingleLock lock(&section, TRUE);
    EXPECT_TRUE(lock.IsLocked());
    EXPECT_FALSE(SectionFreeForOthers(section));
  }
  EXPECT_TRUE(SectionFreeForOthers(section));

  CMutex mutex;
  {
    CSingleLock lock(&mutex);
    EXPECT_FALSE(lock.IsLocked());
    EXPECT_TRUE(lock.Lock());
    EXPECT_TRUE(lock.Lock());  // held already: not taken a second time
    EXPECT_FALSE(FreeForOthers(mutex));
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.IsLocked());
    EXPECT_TRUE(FreeForOthers(mutex));  // one Unlock was enough
    EXPECT_TRUE(lock.Unlock());         // nothing held: nothing to give
    EXPECT_TRUE(lock.Lock(0));
  }
  EXPECT_TRUE(FreeForOthers(mutex));
}

TEST(MfcSingleLock, TimesOutOnAnObjectAnotherThreadHolds) {
  CMutex mutex;
  HeldElsewhere owner(mutex);
  CSingleLock lock(&mutex);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(lock.Lock(50));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
  EXPECT_FALSE(lock.IsLocked());
  SetLastError(0);
  EXPECT_FALSE(mutex.Unlock());  // not ours
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  owner.Release();
  EXPECT_TRUE(lock.Lock(2000));
}

TEST(MfcSingleLock, ANullObjectIsRefused) {
  try {
    CSingleLock lock(nullptr);
    ADD_FAILURE() << "no exception";
  } catch (CInvalidArgException* e) {
    e->Delete();
  }
}

TEST(MfcMultiLock, WaitsForAnyWithATimeOut) {
  CEvent first, second;  // auto reset, not signalled
  CSyncObject* objects[] = {&first, &second};
  CMultiLock lock(objects, 2);
  EXPECT_EQ(lock.Lock(20, FALSE), WAIT_TIMEOUT);
  EXPECT_FALSE(lock.IsLocked(0));
  EXPECT_FALSE(lock.IsLocked(1));
  second.SetEvent();
  EXPECT_EQ(lock.Lock(1000, FALSE), WAIT_OBJECT_0 + 1);
  EXPECT_FALSE(lock.IsLocked(0));
  EXPECT_TRUE(lock.IsLocked(1));
  EXPECT_FALSE(lock.IsLocked(2));
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);  // the wait took it
  first.SetEvent();
  second.SetEvent();
  EXPECT_EQ(lock.Lock(0, FALSE), WAIT_OBJECT_0);  // the lowest signalled
  EXPECT_TRUE(lock.IsLocked(0));
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);  // left alone
}

TEST(MfcMultiLock, AWaitForAllTakesNothingUntilEveryObjectIsFree) {
  CMutex mutex;
  CEvent event(TRUE);  // signalled, auto reset
  CSemaphore semaphore(1, 1);
  CSyncObject* objects[] = {&event, &mutex, &semaphore};
  HeldElsewhere owner(mutex);
  {
    CMultiLock lock(objects, 3);
    EXPECT_EQ(lock.Lock(30), WAIT_TIMEOUT);
    for (DWORD i = 0; i < 3; ++i) EXPECT_FALSE(lock.IsLocked(i));
    owner.Release();
    EXPECT_EQ(lock.Lock(2000), WAIT_OBJECT_0);
    for (DWORD i = 0; i < 3; ++i) EXPECT_TRUE(lock.IsLocked(i));
    EXPECT_FALSE(FreeForOthers(mutex));
    EXPECT_FALSE(FreeForOthers(semaphore));
  }
  // The destructor gave back the mutex and the count; the event stays taken.
  EXPECT_TRUE(FreeForOthers(mutex));
  EXPECT_TRUE(FreeForOthers(semaphore));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(MfcMultiLock, AnAbandonedMutexIsTakenWithItsIndex) {
  CEvent never(FALSE, TRUE);
  CMutex mutex;
  std::thread([&] { mutex.Lock(); }).join();  // ends without giving it back
  CSyncObject* objects[] = {&never, &mutex};
  CMultiLock lock(objects, 2, FALSE);
  EXPECT_EQ(lock.Lock(1000, FALSE), WAIT_ABANDONED_0 + 1);
  EXPECT_TRUE(lock.IsLocked(1));
  EXPECT_FALSE(FreeForOthers(mutex));
  EXPECT_TRUE(lock.Unlock());
  EXPECT_FALSE(lock.IsLocked(1));
  EXPECT_TRUE(FreeForOthers(mutex));

  // A single lock counts an abandoned mutex as taken.
  std::thread([&] { mutex.Lock(); }).join();
  CSingleLock single(&mutex);
  EXPECT_TRUE(single.Lock(1000));
}

TEST(MfcMultiLock, RefusesWhatItCannotWaitFor) {
  CEvent event;
  CCriticalSection section;
  CSyncObject* withSection[] = {&event, &section};
  CSyncObject* withNull[] = {&event, nullptr};
  for (auto make : {+[](CSyncObject** objects) { CMultiLock lock(objects, 2); },
                    +[](CSyncObject** objects) { CMultiLock lock(objects, 0); },
                    +[](CSyncObject** objects) { CMultiLock lock(objects, MAXIMUM_WAIT_OBJECTS + 1); }}) {
    for (CSyncObject** objects : {withSection, withNull}) {
      try {
        make(objects);
        ADD_FAILURE() << "no exception";
      } catch (CInvalidArgException* e) {
        e->Delete();
      }
    }
  }
  // Waiting for a message as well is not carried.
  event.SetEvent();
  CSyncObject* objects[] = {&event};
  CMultiLock lock(objects, 1);
  SetLastError(0);
  EXPECT_EQ(lock.Lock(0, FALSE, 0x04FF), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_FALSE(lock.IsLocked(0));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);  // untouched
}

// Threads that each wait once for `event` through a CSingleLock (five
// seconds at most) and count their release.
std::vector<std::thread> Waiters(CEvent& event, int count, std::atomic<int>& waiting, std::atomic<int>& released) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) {
    threads.emplace_back([&] {
      CSingleLock lock(&event);
      ++waiting;
      if (lock.Lock(5000)) ++released;
    });
  }
  return threads;
}

TEST(MfcEvent, AnAutoResetEventWakesOneWaiterPerSet) {
  CEvent event;
  std::atomic<int> waiting{0}, released{0};
  std::vector<std::thread> threads = Waiters(event, 3, waiting, released);
  ASSERT_TRUE(Eventually([&] { return waiting == 3; }));
  std::this_thread::sleep_for(20ms);
  for (int set = 1; set <= 3; ++set) {
    EXPECT_TRUE(event.SetEvent());
    ASSERT_TRUE(Eventually([&] { return released == set; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(released, set) << "one SetEvent woke more than one waiter";
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(MfcEvent, AManualResetEventWakesEveryoneUntilReset) {
  CEvent event(FALSE, TRUE);
  std::atomic<int> waiting{0}, released{0};
  std::vector<std::thread> threads = Waiters(event, 3, waiting, released);
  ASSERT_TRUE(Eventually([&] { return waiting == 3; }));
  EXPECT_TRUE(event.SetEvent());
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(released, 3);
  EXPECT_TRUE(event.Lock(0));  // still signalled
  EXPECT_TRUE(event.Unlock());
  EXPECT_TRUE(event.ResetEvent());
  EXPECT_FALSE(event.Lock(0));

  // A pulse wakes those waiting and leaves the event reset.
  waiting = 0;
  released = 0;
  threads = Waiters(event, 2, waiting, released);
  ASSERT_TRUE(Eventually([&] { return waiting == 2; }));
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(event.PulseEvent());
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(released, 2);
  EXPECT_FALSE(event.Lock(0));
}

TEST(MfcSemaphore, CountsItsLocksUpToItsMaximum) {
  CSemaphore semaphore(2, 3);
  EXPECT_TRUE(semaphore.Lock(0));
  EXPECT_TRUE(semaphore.Lock(0));
  EXPECT_FALSE(semaphore.Lock(20));
  LONG previous = -1;
  EXPECT_TRUE(semaphore.Unlock(3, &previous));
  EXPECT_EQ(previous, 0);
  SetLastError(0);
  EXPECT_FALSE(semaphore.Unlock());  // would pass the maximum
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  {
    CSingleLock lock(&semaphore, TRUE);
    EXPECT_TRUE(lock.IsLocked());
    EXPECT_TRUE(lock.Unlock(1, &previous));
    EXPECT_EQ(previous, 2);
  }
  CSyncObject* objects[] = {&semaphore};
  CMultiLock lock(objects, 1, TRUE);
  EXPECT_TRUE(lock.IsLocked(0));
  EXPECT_TRUE(lock.Unlock(1, &previous));
  EXPECT_EQ(previous, 2);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(semaphore.Lock(0));
  EXPECT_FALSE(semaphore.Lock(0));
}

TEST(MfcSyncObjects, ConstructorsThatFailThrowAResourceException) {
  auto throwsResource = [](auto make) {
    try {
      make();
    } catch (CResourceException* e) {
      char text[80] = "";
      const BOOL hasText = e->GetErrorMessage(text, sizeof text);
      e->Delete();
      return hasText && text[0] != '\0';
    }
    return false;
  };
  EXPECT_TRUE(throwsResource([] { CSemaphore semaphore(2, 1); }));
  EXPECT_TRUE(throwsResource([] { CSemaphore semaphore(0, 0); }));
  EXPECT_TRUE(throwsResource([] { CSemaphore semaphore(-1, 1); }));
  // A name in use by an object of another kind.
  CMutex named(FALSE, _T("MfcSyncTest.Belegt"));
  EXPECT_TRUE(throwsResource([] { CEvent event(FALSE, FALSE, _T("MfcSyncTest.Belegt")); }));
  EXPECT_FALSE(throwsResource([] { CMutex again(FALSE, _T("MfcSyncTest.Belegt")); }));
}

TEST(MfcSyncObjects, ObjectsOfOneNameAreOneObject) {
  CEvent first(FALSE, TRUE, _T("MfcSyncTest.Ereignis"));
  CEvent second(TRUE, FALSE, _T("MfcSyncTest.Ereignis"));  // state and kind of the first
  EXPECT_NE(static_cast<HANDLE>(first), static_cast<HANDLE>(second));
  EXPECT_FALSE(second.Lock(0));
  first.SetEvent();
  EXPECT_TRUE(second.Lock(0));
  EXPECT_TRUE(second.Lock(0));  // manual reset, as the first was made
  second.ResetEvent();
  EXPECT_FALSE(first.Lock(0));
}

TEST(MfcSyncObjects, AnInitiallyOwnedMutexIsTheCreatorsAndNestsWithItsCriticalSection) {
  CMutex mutex(TRUE);
  EXPECT_FALSE(FreeForOthers(mutex));
  EXPECT_TRUE(mutex.Lock(0));  // again, by its owner
  EXPECT_TRUE(mutex.Unlock());
  EXPECT_FALSE(FreeForOthers(mutex));
  EXPECT_TRUE(mutex.Unlock());
  EXPECT_TRUE(FreeForOthers(mutex));

  CCriticalSection section;
  EXPECT_TRUE(section.Lock());
  EXPECT_TRUE(section.Lock(0));  // the time-out is ignored; the owner enters again
  EXPECT_TRUE(section.Unlock());
  EXPECT_FALSE(SectionFreeForOthers(section));
  EXPECT_TRUE(section.Unlock());
  EXPECT_TRUE(SectionFreeForOthers(section));
  EXPECT_TRUE(section.IsKindOf(RUNTIME_CLASS(CSyncObject)));
  EXPECT_EQ(section.m_hObject, nullptr);  // nothing to wait for by handle
}

}  // namespace
