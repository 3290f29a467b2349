// The framework's synchronisation classes: CCriticalSection, CMutex, CEvent,
// CSemaphore, CSingleLock, CMultiLock. Their constructors throw
// CResourceException (mfc_object.h) when the object cannot be made.
//
// Each class is a thin owner of the kit's own object: CMutex, CEvent and
// CSemaphore hold a handle of sync.h (m_hObject, closed by the destructor)
// and lock by WaitForSingleObject; CMultiLock waits by
// WaitForMultipleObjects. Their results are those calls' results: a mutex
// whose owner thread ended without unlocking it is taken with
// WAIT_ABANDONED, which Lock counts as success (the caller owns it now). A
// name makes the object known within this process only (sync.h).
//
// CCriticalSection has no handle: it locks its CRITICAL_SECTION (m_sect),
// ignores a time-out (as the framework does) and cannot be part of a
// CMultiLock. An event has no owner: CEvent::Unlock changes nothing and
// succeeds.
//
// CSingleLock and CMultiLock remember what they took and give it back in
// their destructors. A lock object belongs to the thread that made it.
// CMultiLock::Lock with a wake mask (waiting for a message as well) is
// refused with WAIT_FAILED and ERROR_NOT_SUPPORTED: the thread's message
// queue is not one of the objects the kit's waits can watch.
#pragma once

#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/handles.h>
#include <xtbasis/win32/mfc_object.h>
#include <xtbasis/win32/sync.h>

class XTBASIS_API CSyncObject : public CObject {
  DECLARE_DYNAMIC(CSyncObject)

 public:
  // The name is kept by the derived class's creation call; it has no use here.
  explicit CSyncObject(LPCTSTR name);
  ~CSyncObject() override;

  // TRUE once the object is taken (WAIT_OBJECT_0 or WAIT_ABANDONED), FALSE
  // on a time-out or a failed wait.
  virtual BOOL Lock(DWORD timeout = INFINITE);
  virtual BOOL Unlock() = 0;
  // Gives back `count` (a semaphore's); the other classes give back one.
  virtual BOOL Unlock(LONG count, LONG* previousCount = nullptr);

  operator HANDLE() const { return m_hObject; }

  HANDLE m_hObject;
};

class XTBASIS_API CCriticalSection : public CSyncObject {
  DECLARE_DYNAMIC(CCriticalSection)

 public:
  CCriticalSection();
  ~CCriticalSection() override;

  BOOL Lock();
  // The time-out is ignored: a critical section is always waited for.
  BOOL Lock(DWORD timeout) override;
  BOOL Unlock() override;
  using CSyncObject::Unlock;

  operator CRITICAL_SECTION*() { return &m_sect; }

  CRITICAL_SECTION m_sect;
};

class XTBASIS_API CMutex : public CSyncObject {
  DECLARE_DYNAMIC(CMutex)

 public:
  explicit CMutex(BOOL initiallyOwn = FALSE, LPCTSTR name = nullptr, LPSECURITY_ATTRIBUTES attributes = nullptr);
  // FALSE (ERROR_NOT_OWNER) when the calling thread does not own the mutex.
  BOOL Unlock() override;
  using CSyncObject::Unlock;
};

class XTBASIS_API CEvent : public CSyncObject {
  DECLARE_DYNAMIC(CEvent)

 public:
  // `initiallyOwn` TRUE makes the event signalled from the start.
  explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE, LPCTSTR name = nullptr,
                  LPSECURITY_ATTRIBUTES attributes = nullptr);

  BOOL SetEvent() { return ::SetEvent(m_hObject); }
  BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
  BOOL PulseEvent() { return ::PulseEvent(m_hObject); }
  BOOL Unlock() override;
  using CSyncObject::Unlock;
};

class XTBASIS_API CSemaphore : public CSyncObject {
  DECLARE_DYNAMIC(CSemaphore)

 public:
  // Throws CResourceException unless 0 <= initialCount <= maximumCount and
  // maximumCount > 0.
  explicit CSemaphore(LONG initialCount = 1, LONG maximumCount = 1, LPCTSTR name = nullptr,
                      LPSECURITY_ATTRIBUTES attributes = nullptr);

  // Gives back one of the count.
  BOOL Unlock() override;
  // FALSE (ERROR_TOO_MANY_POSTS, nothing changed) when the count would pass
  // its maximum.
  BOOL Unlock(LONG count, LONG* previousCount = nullptr) override;
};

class XTBASIS_API CSingleLock {
 public:
  // Throws CInvalidArgException for a null object.
  explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
  ~CSingleLock();
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  // The object's Lock; TRUE at once while this lock already holds it (it is
  // never taken twice through one lock, so one Unlock gives it back).
  BOOL Lock(DWORD timeout = INFINITE);
  // Gives the object back if this lock holds it; TRUE when it no longer does.
  BOOL Unlock();
  BOOL Unlock(LONG count, LONG* previousCount = nullptr);
  BOOL IsLocked() const { return m_bAcquired; }

 protected:
  CSyncObject* m_pObject;
  HANDLE m_hObject;
  BOOL m_bAcquired;
};

class XTBASIS_API CMultiLock {
 public:
  // Throws CInvalidArgException for no objects, more than
  // MAXIMUM_WAIT_OBJECTS, a null one or a CCriticalSection (which has no
  // handle to wait for).
  CMultiLock(CSyncObject* objects[], DWORD count, BOOL initialLock = FALSE);
  ~CMultiLock();
  CMultiLock(const CMultiLock&) = delete;
  CMultiLock& operator=(const CMultiLock&) = delete;

  // WaitForMultipleObjects on every object's handle, its result given back:
  // WAIT_OBJECT_0 + i, WAIT_ABANDONED_0 + i, WAIT_TIMEOUT or WAIT_FAILED.
  // What the wait took counts as locked (all of them for a wait for all,
  // object i for a wait for any). A wake mask other than 0 is refused.
  DWORD Lock(DWORD timeout = INFINITE, BOOL waitForAll = TRUE, DWORD wakeMask = 0);
  // Gives back every object this lock holds; TRUE when all went back.
  BOOL Unlock();
  BOOL Unlock(LONG count, LONG* previousCount = nullptr);
  // Whether object `index` is held; FALSE for an index past the end.
  BOOL IsLocked(DWORD index) const;

 protected:
  std::vector<CSyncObject*> m_objects;
  std::vector<HANDLE> m_handles;
  std::vector<BOOL> m_locked;

 private:
  // Gives back object i with `unlock`; keeps it held when that fails.
  template <class Unlocking>
  BOOL UnlockEach(Unlocking unlock);
};
