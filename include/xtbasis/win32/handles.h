// Kernel handles and waiting on them: CloseHandle, WaitForSingleObject,
// WaitForMultipleObjects and the WAIT_* results. Every HANDLE of the kit
// (file, search, event, mutex, semaphore, thread, process) is closed by
// CloseHandle; a handle that is not open fails with ERROR_INVALID_HANDLE.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

// Closes a handle; the object goes when no call is using it any more.
XTBASIS_C_API BOOL CloseHandle(HANDLE handle);
