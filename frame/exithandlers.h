// The process's exit-handler list: the handlers that AtXTExit collects for
// the application object of the moment. An application class (CXTWinApp)
// claims the list it keeps while it is the current application and runs it
// when it ends; with no claimed list, AtXTExit leaves the handler to the
// process's normal exit. The frame knows only the CWinApp that claimed, so
// that the library's own services (the ParallelFor pool) can register
// without building on the application component.
#pragma once

#include <vector>

class CWinApp;

namespace xtb::frame {

using ExitHandler = void (*)();
using ExitHandlerList = std::vector<ExitHandler>;

// From now on AtXTExit appends to `list` while `app` is the current
// application object (AfxGetApp). A later claim replaces this one.
void ClaimExitHandlers(const CWinApp* app, ExitHandlerList* list);
// Ends the claim of `list`, if it still holds it; its handlers stay in it.
void ReleaseExitHandlers(const ExitHandlerList* list);

// Appends `handler` (null is ignored) to `list`, safe against AtXTExit on
// another thread.
void AppendExitHandler(ExitHandlerList& list, ExitHandler handler);
// Runs every handler of `list` once, in registration order, including
// handlers appended while they run, and leaves the list empty.
void RunExitHandlers(ExitHandlerList& list);

}  // namespace xtb::frame
