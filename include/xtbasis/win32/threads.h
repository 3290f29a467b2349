// Threads by handle: CreateThread (started at once or suspended until
// ResumeThread), the thread's exit code, its priority value, ExitThread.
// GetCurrentThreadId is the library's (<xtbasis/platform/clock.h>): the
// kernel's thread id; GetCurrentThread is the pseudo handle (handles.h).
//
// A thread's handle is signalled when its routine has returned (or called
// ExitThread); GetExitCodeThread gives STILL_ACTIVE until then, the
// routine's result after. Every thread is detached: the end of the program
// never waits for one still running, as on Windows, where the process's end
// takes its threads with it.
//
// Not carried: TerminateThread, since ending a thread from outside leaves
// the locks it holds taken and its data half-changed, and Linux offers no
// safe way to do it; a thread that must end early is told so (an event it
// waits for) and returns. SuspendThread suspends only a thread that has not
// yet started (created with CREATE_SUSPENDED); a running thread cannot be
// stopped safely from outside either, so it fails with ERROR_NOT_SUPPORTED.
// The stack size is the system's default (8 MiB), whatever is asked for.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/handles.h>

#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000u

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// The same type as <basetsd.h>'s on 64-bit Windows.
typedef ULONG_PTR SIZE_T;

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

// A new thread running start(parameter); null with ERROR_INVALID_PARAMETER
// for no routine or flags other than CREATE_SUSPENDED and
// STACK_SIZE_PARAM_IS_A_RESERVATION, or with the system's reason when no
// thread can be made. The thread's id goes to `threadId` when not null.
XTBASIS_C_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                  LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
// Counts one suspension off; the thread starts when none is left. The count
// before, or (DWORD)-1 with ERROR_INVALID_HANDLE.
XTBASIS_C_API DWORD ResumeThread(HANDLE thread);
// Adds one suspension to a thread that has not started yet; the count
// before. (DWORD)-1 with ERROR_NOT_SUPPORTED for a thread already running.
XTBASIS_C_API DWORD SuspendThread(HANDLE thread);
XTBASIS_C_API BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
XTBASIS_C_API DWORD GetThreadId(HANDLE thread);
// The priority is kept and given back, as the THREAD_PRIORITY_* values, but
// not handed to the scheduler: raising a thread's priority needs rights an
// ordinary account lacks on Linux. Other values fail with
// ERROR_INVALID_PARAMETER.
XTBASIS_C_API BOOL SetThreadPriority(HANDLE thread, int priority);
XTBASIS_C_API int GetThreadPriority(HANDLE thread);
// Ends the calling thread, made by CreateThread, with `exitCode`: it
// unwinds the thread's stack as an exception the kit catches at the thread's
// start (destructors run; a catch (...) in the routine stops it, so rethrow
// there). On a thread the kit did not make, it fails with
// ERROR_NOT_SUPPORTED and returns.
XTBASIS_C_API void ExitThread(DWORD exitCode);
