// The framework's synchronisation objects on the kit's handles and critical
// sections.
#include <xtbasis/win32/mfc_sync.h>

namespace {

// The handle a constructor made, or CResourceException when there is none.
HANDLE MadeOrThrow(HANDLE handle) {
  if (handle == nullptr) AfxThrowResourceException();
  return handle;
}

}  // namespace

IMPLEMENT_DYNAMIC(CSyncObject, CObject)
IMPLEMENT_DYNAMIC(CCriticalSection, CSyncObject)
IMPLEMENT_DYNAMIC(CMutex, CSyncObject)
IMPLEMENT_DYNAMIC(CEvent, CSyncObject)
IMPLEMENT_DYNAMIC(CSemaphore, CSyncObject)

CSyncObject::CSyncObject(LPCTSTR) : m_hObject(nullptr) {}

CSyncObject::~CSyncObject() {
  if (m_hObject != nullptr) CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD timeout) {
  const DWORD result = WaitForSingleObject(m_hObject, timeout);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

BOOL CSyncObject::Unlock(LONG, LONG*) { return Unlock(); }

CCriticalSection::CCriticalSection() : CSyncObject(nullptr) { InitializeCriticalSection(&m_sect); }

CCriticalSection::~CCriticalSection() { DeleteCriticalSection(&m_sect); }

BOOL CCriticalSection::Lock() {
  EnterCriticalSection(&m_sect);
  return TRUE;
}

BOOL CCriticalSection::Lock(DWORD) { return Lock(); }

BOOL CCriticalSection::Unlock() {
  LeaveCriticalSection(&m_sect);
  return TRUE;
}

CMutex::CMutex(BOOL initiallyOwn, LPCTSTR name, LPSECURITY_ATTRIBUTES attributes) : CSyncObject(name) {
  m_hObject = MadeOrThrow(CreateMutexA(attributes, initiallyOwn, name));
}

BOOL CMutex::Unlock() { return ReleaseMutex(m_hObject); }

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset, LPCTSTR name, LPSECURITY_ATTRIBUTES attributes)
    : CSyncObject(name) {
  m_hObject = MadeOrThrow(CreateEventA(attributes, manualReset, initiallyOwn, name));
}

BOOL CEvent::Unlock() { return TRUE; }

CSemaphore::CSemaphore(LONG initialCount, LONG maximumCount, LPCTSTR name, LPSECURITY_ATTRIBUTES attributes)
    : CSyncObject(name) {
  m_hObject = MadeOrThrow(CreateSemaphoreA(attributes, initialCount, maximumCount, name));
}

BOOL CSemaphore::Unlock() { return Unlock(1, nullptr); }

BOOL CSemaphore::Unlock(LONG count, LONG* previousCount) { return ReleaseSemaphore(m_hObject, count, previousCount); }
