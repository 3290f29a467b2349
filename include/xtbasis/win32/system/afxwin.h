// The framework's application side: CWinApp, worker threads, message boxes and the
// application helpers. Windows, dialogs and resources are not carried.
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/system/afx.h>
#include <xtbasis/win32/system/afxcoll.h>
#include <xtbasis/platform/winapp.h>
#include <xtbasis/win32/mfc_app.h>
#include <xtbasis/win32/mfc_threads.h>
