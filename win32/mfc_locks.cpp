// CSingleLock and CMultiLock: what a scope took, given back at its end.
#include <xtbasis/win32/mfc_sync.h>

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock)
    : m_pObject(object), m_hObject(object != nullptr ? object->m_hObject : nullptr), m_bAcquired(FALSE) {
  if (object == nullptr) AfxThrowInvalidArgException();
  if (initialLock) Lock();
}

CSingleLock::~CSingleLock() { Unlock(); }

BOOL CSingleLock::Lock(DWORD timeout) {
  if (!m_bAcquired) m_bAcquired = m_pObject->Lock(timeout);
  return m_bAcquired;
}

BOOL CSingleLock::Unlock() {
  if (m_bAcquired) m_bAcquired = !m_pObject->Unlock();
  return !m_bAcquired;
}

BOOL CSingleLock::Unlock(LONG count, LONG* previousCount) {
  if (m_bAcquired) m_bAcquired = !m_pObject->Unlock(count, previousCount);
  return !m_bAcquired;
}

CMultiLock::CMultiLock(CSyncObject* objects[], DWORD count, BOOL initialLock) {
  if (objects == nullptr || count == 0 || count > MAXIMUM_WAIT_OBJECTS) AfxThrowInvalidArgException();
  for (DWORD i = 0; i < count; ++i) {
    CSyncObject* object = objects[i];
    if (object == nullptr || object->IsKindOf(RUNTIME_CLASS(CCriticalSection))) AfxThrowInvalidArgException();
    m_objects.push_back(object);
    m_handles.push_back(object->m_hObject);
  }
  m_locked.assign(count, FALSE);
  if (initialLock) Lock();
}

CMultiLock::~CMultiLock() { Unlock(); }

DWORD CMultiLock::Lock(DWORD timeout, BOOL waitForAll, DWORD wakeMask) {
  if (wakeMask != 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return WAIT_FAILED;
  }
  const DWORD count = static_cast<DWORD>(m_handles.size());
  const DWORD result = WaitForMultipleObjects(count, m_handles.data(), waitForAll, timeout);
  DWORD taken = count;
  if (result - WAIT_OBJECT_0 < count) {
    taken = result - WAIT_OBJECT_0;
  } else if (result - WAIT_ABANDONED_0 < count) {
    taken = result - WAIT_ABANDONED_0;
  }
  if (taken < count) {
    if (waitForAll) {
      m_locked.assign(count, TRUE);
    } else {
      m_locked[taken] = TRUE;
    }
  }
  return result;
}

template <class Unlocking>
BOOL CMultiLock::UnlockEach(Unlocking unlock) {
  BOOL all = TRUE;
  for (size_t i = 0; i < m_objects.size(); ++i) {
    if (m_locked[i]) m_locked[i] = !unlock(*m_objects[i]);
    if (m_locked[i]) all = FALSE;
  }
  return all;
}

BOOL CMultiLock::Unlock() {
  return UnlockEach([](CSyncObject& object) { return object.Unlock(); });
}

BOOL CMultiLock::Unlock(LONG count, LONG* previousCount) {
  return UnlockEach([=](CSyncObject& object) { return object.Unlock(count, previousCount); });
}

BOOL CMultiLock::IsLocked(DWORD index) const { return index < m_locked.size() && m_locked[index]; }
