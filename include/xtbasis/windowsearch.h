// Finding another program's top-level window by its title or its class, on
// the X display (libX11 loaded at run time; without a display nothing is
// found).
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// The visible top-level window whose title equals `title` in any case
// (exact), or else begins with it, the one nearest in length winning; with
// `ownProcess` only this process's windows, without it only other
// processes'. Null when none matches or there is no display.
XTBASIS_C_API HWND FindAWindow(const char* title, bool exact, bool ownProcess);
// As FindAWindow over the windows of every process whose class (WM_CLASS)
// equals `className` exactly.
XTBASIS_C_API HWND FindAWindowClass(const char* className, const char* title, bool exact);
