// The framework's core for programs without windows: CObject, CString, the time
// classes, exceptions, files, the checks and trace output, on top of <windows.h>.
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/system/windows.h>
#include <xtbasis/win32/system/tchar.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/win32/mfc_object.h>
#include <xtbasis/win32/mfc_debug.h>
#include <xtbasis/win32/mfc_files.h>
