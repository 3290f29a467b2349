// Choosing a window by title among the visible top-level windows.
#pragma once

#include <vector>
#include <xtbasis/platform/desktop.h>

namespace xtb::app {

enum class Owner { Any, ThisProcess, OtherProcesses };

// The window FindAWindow and FindAWindowClass answer, from the windows in
// their order: titles compared without regard to case (1252), at most the
// first 259 characters of a title counting.
HWND PickWindow(const std::vector<desktop::TopWindow>& windows, const char* className, const char* title, bool exact,
                Owner owner, DWORD ownProcessId);

}  // namespace xtb::app
