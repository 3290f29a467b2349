// The framework's collection templates (CArray, CList, CMap).
// Part of the porting kit: on the include path only for programs built with
// xtbasis-win32 (pkg-config) or xtbasis::win32 (CMake).
#pragma once

#include <xtbasis/win32/system/afx.h>
#include <xtbasis/win32/mfc_arrays.h>
#include <xtbasis/win32/mfc_lists.h>
#include <xtbasis/win32/mfc_maps.h>
