// The exit handlers of the program: process-wide services of the library
// (the ParallelFor pool) and of the program register their shutdown here,
// and the application object (CXTWinApp, winapp.h) runs them when it ends.
#pragma once

#include <xtbasis/platform/api.h>

// Appends `handler` to the exit handlers of the current application object
// when that is a CXTWinApp. A program without one (a service, a tool) runs
// the handler when the process exits normally instead.
XTBASIS_C_API void AtXTExit(void (*handler)());
