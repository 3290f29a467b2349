// Synchronisation objects: events, mutexes and semaphores by handle,
// CRITICAL_SECTION and its calls, the Interlocked* family.
//
// Events, mutexes and semaphores are waited for with WaitForSingleObject
// and WaitForMultipleObjects (handles.h) and closed with CloseHandle. A name
// given at creation is known within the process: creating an object of an
// existing name gives a new handle to that object and ERROR_ALREADY_EXISTS
// (the initial state and owner of the call are then ignored), a name in use
// by an object of another kind fails with ERROR_INVALID_HANDLE, and the
// Open* calls find an object by its name (ERROR_FILE_NOT_FOUND when there is
// none). Names are not shared with other processes: a program that relied on
// a named mutex to find another instance of itself needs a machine-wide lock
// instead. Security attributes are ignored.
#pragma once

#include <type_traits>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/handles.h>

#define ERROR_NOT_OWNER 288L
#define ERROR_TOO_MANY_POSTS 298L

#define EVENT_MODIFY_STATE 0x0002u
#define EVENT_ALL_ACCESS 0x001F0003u
#define MUTEX_MODIFY_STATE 0x0001u
#define MUTEX_ALL_ACCESS 0x001F0001u
#define SEMAPHORE_MODIFY_STATE 0x0002u
#define SEMAPHORE_ALL_ACCESS 0x001F0003u

// An event: manual reset stays signalled until ResetEvent and releases
// every waiter; auto reset releases one waiter and is reset by it.
XTBASIS_C_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
XTBASIS_C_API HANDLE OpenEventA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
XTBASIS_C_API BOOL SetEvent(HANDLE event);
XTBASIS_C_API BOOL ResetEvent(HANDLE event);
// Releases the threads waiting at this moment (all of them for manual
// reset, one for auto reset) and leaves the event reset; with none waiting
// it only resets. As on Windows, a thread not in its wait at that moment
// (just woken for something else) misses the pulse: prefer SetEvent.
XTBASIS_C_API BOOL PulseEvent(HANDLE event);

// A mutex: owned by one thread at a time, recursively (each wait that takes
// it needs a ReleaseMutex). A mutex whose owner thread ends without
// releasing it is abandoned: the next wait takes it with WAIT_ABANDONED.
XTBASIS_C_API HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
XTBASIS_C_API HANDLE OpenMutexA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
// FALSE with ERROR_NOT_OWNER when the calling thread does not own it.
XTBASIS_C_API BOOL ReleaseMutex(HANDLE mutex);

// A semaphore: each wait takes one of its count. Creating fails with
// ERROR_INVALID_PARAMETER unless 0 <= initialCount <= maximumCount and
// maximumCount > 0.
XTBASIS_C_API HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount,
                                      LPCSTR name);
XTBASIS_C_API HANDLE OpenSemaphoreA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
// Adds `releaseCount` (> 0, else ERROR_INVALID_PARAMETER); FALSE with
// ERROR_TOO_MANY_POSTS, the count unchanged, when that would pass the
// maximum. The count before goes to `previousCount` when it is not null.
XTBASIS_C_API BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount);

#define CreateEvent CreateEventA
#define OpenEvent OpenEventA
#define CreateMutex CreateMutexA
#define OpenMutex OpenMutexA
#define CreateSemaphore CreateSemaphoreA
#define OpenSemaphore OpenSemaphoreA

// A critical section: a lock within the process that its owner thread may
// enter again (each Enter needs a Leave). The structure may be a plain
// global or member: InitializeCriticalSection makes the lock behind it,
// DeleteCriticalSection frees it. One left zeroed, never initialised, is
// made on first use instead of failing, since a zeroed global is what many
// programs start with. LeaveCriticalSection by a thread that does not own it
// changes nothing (on Windows it corrupts the section). The spin count is
// kept but not used: entering sleeps at once.
typedef struct _RTL_CRITICAL_SECTION {
  void* DebugInfo;  // the lock behind the section
  ULONG_PTR SpinCount;
} CRITICAL_SECTION, *LPCRITICAL_SECTION, *PCRITICAL_SECTION;

XTBASIS_C_API void InitializeCriticalSection(LPCRITICAL_SECTION section);
XTBASIS_C_API BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount);
XTBASIS_C_API void EnterCriticalSection(LPCRITICAL_SECTION section);
// TRUE when the section was free or already the caller's, and is now entered.
XTBASIS_C_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
XTBASIS_C_API void LeaveCriticalSection(LPCRITICAL_SECTION section);
XTBASIS_C_API void DeleteCriticalSection(LPCRITICAL_SECTION section);

// The Interlocked* family: sequentially consistent, as the Windows calls
// are full barriers. The Exchange, Add, And and Or forms return the value
// before; Increment and Decrement the value after. One template serves the
// LONG and the LONGLONG forms; the 64-bit names are the same templates.
template <class T>
inline T InterlockedIncrement(volatile T* target) {
  return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST);
}
template <class T>
inline T InterlockedDecrement(volatile T* target) {
  return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST);
}
// The calls that apply one operation and return the value before.
#define XTB_INTERLOCKED_FETCH(name, builtin)                           \
  template <class T>                                                   \
  inline T name(volatile T* target, std::type_identity_t<T> value) {   \
    return builtin(target, value, __ATOMIC_SEQ_CST);                   \
  }
XTB_INTERLOCKED_FETCH(InterlockedExchange, __atomic_exchange_n)
XTB_INTERLOCKED_FETCH(InterlockedExchangeAdd, __atomic_fetch_add)
XTB_INTERLOCKED_FETCH(InterlockedAnd, __atomic_fetch_and)
XTB_INTERLOCKED_FETCH(InterlockedOr, __atomic_fetch_or)
XTB_INTERLOCKED_FETCH(InterlockedXor, __atomic_fetch_xor)
#undef XTB_INTERLOCKED_FETCH
// Stores `exchange` when the target holds `comparand`; returns what it held.
template <class T>
inline T InterlockedCompareExchange(volatile T* target, std::type_identity_t<T> exchange, std::type_identity_t<T> comparand) {
  T expected = comparand;
  __atomic_compare_exchange_n(target, &expected, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return expected;
}
#define InterlockedIncrement64 InterlockedIncrement
#define InterlockedDecrement64 InterlockedDecrement
#define InterlockedExchange64 InterlockedExchange
#define InterlockedExchangeAdd64 InterlockedExchangeAdd
#define InterlockedCompareExchange64 InterlockedCompareExchange
#define InterlockedAnd64 InterlockedAnd
#define InterlockedOr64 InterlockedOr
#define InterlockedXor64 InterlockedXor
inline PVOID InterlockedExchangePointer(PVOID volatile* target, PVOID value) { return InterlockedExchange(target, value); }
inline PVOID InterlockedCompareExchangePointer(PVOID volatile* target, PVOID exchange, PVOID comparand) {
  return InterlockedCompareExchange(target, exchange, comparand);
}
