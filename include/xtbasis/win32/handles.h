// Kernel handles and waiting on them: CloseHandle, DuplicateHandle, the
// pseudo handles of the calling process and thread, WaitForSingleObject,
// WaitForMultipleObjects and the WAIT_* results. Every HANDLE of the kit
// (file, search, event, mutex, semaphore, thread, process) is closed by
// CloseHandle; a handle that is not open fails with ERROR_INVALID_HANDLE.
//
// Events, mutexes, semaphores, threads and processes can be waited for. A
// wait for all of several objects is atomic, as on Windows: an auto-reset
// event, a semaphore's count or a mutex is taken only at the moment every
// object is signalled, never one by one. Time-outs are milliseconds on the
// monotonic clock; INFINITE waits without limit, 0 only looks.
//
// The pseudo handles of GetCurrentProcess and GetCurrentThread are the
// values Windows uses ((HANDLE)-1 and (HANDLE)-2); they stand for the caller
// in the calls that take a process or thread (GetExitCodeThread,
// SetThreadPriority, DuplicateHandle ...). Waiting on them is refused with
// ERROR_INVALID_HANDLE instead of blocking for good: the caller cannot end
// while it waits, and (HANDLE)-1 is also INVALID_HANDLE_VALUE, which a
// failed CreateFile returns. CloseHandle refuses them the same way.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/wintypes.h>

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_ABANDONED_0 WAIT_ABANDONED
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

#define DUPLICATE_CLOSE_SOURCE 0x00000001u
#define DUPLICATE_SAME_ACCESS 0x00000002u

#define SYNCHRONIZE 0x00100000u

// Closes a handle; the object goes when no call is using it any more.
XTBASIS_C_API BOOL CloseHandle(HANDLE handle);

// A second handle to the object of `source` in the calling process (both
// process handles must be GetCurrentProcess(); other processes fail with
// ERROR_NOT_SUPPORTED). GetCurrentThread() gives a real handle of the
// calling thread, signalled when it ends. DUPLICATE_CLOSE_SOURCE closes
// `source`; access rights and inheritance are not kept (every handle may do
// everything its object allows).
XTBASIS_C_API BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target,
                                   DWORD desiredAccess, BOOL inheritHandle, DWORD options);

// WAIT_OBJECT_0, WAIT_ABANDONED (a mutex whose owner thread ended without
// releasing it: the caller owns it now), WAIT_TIMEOUT, or WAIT_FAILED with
// ERROR_INVALID_HANDLE for a handle that cannot be waited for.
XTBASIS_C_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// With waitAll FALSE: WAIT_OBJECT_0 + i for the lowest index i signalled
// (WAIT_ABANDONED_0 + i for an abandoned mutex), which alone is taken. With
// waitAll TRUE: WAIT_OBJECT_0 once all are signalled and taken together
// (WAIT_ABANDONED_0 + i when one of them, i the lowest, is an abandoned
// mutex). WAIT_TIMEOUT, or WAIT_FAILED with ERROR_INVALID_PARAMETER for 0
// or more than MAXIMUM_WAIT_OBJECTS handles, a null array, or one object
// given twice to a wait for all; ERROR_INVALID_HANDLE for a handle that
// cannot be waited for.
XTBASIS_C_API DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

inline HANDLE GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }
inline HANDLE GetCurrentThread(void) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2)); }
