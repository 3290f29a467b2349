#include <xtbasis/win32/handles.h>

#include "kernel_objects.h"

BOOL CloseHandle(HANDLE handle) { return xtb::win32::CloseKernelHandle(handle); }
