#include "exithandlers.h"

#include <xtbasis/exithandlers.h>
#include <xtbasis/platform/winapp.h>

#include <cstdlib>
#include <mutex>

namespace xtb::frame {

namespace {

// One lock for the claim and every claimed list: handlers are registered
// from any thread (a pool starts on the thread of its first call).
std::mutex g_mutex;
const CWinApp* g_claimingApp = nullptr;
ExitHandlerList* g_claimedList = nullptr;

// Appends `handler` to the claimed list when its application is the current
// one; false (nothing appended) otherwise.
bool AppendToClaimedList(ExitHandler handler) {
  std::lock_guard lock(g_mutex);
  if (g_claimedList == nullptr || g_claimingApp != AfxGetApp()) return false;
  g_claimedList->push_back(handler);
  return true;
}

}  // namespace

void ClaimExitHandlers(const CWinApp* app, ExitHandlerList* list) {
  std::lock_guard lock(g_mutex);
  g_claimingApp = app;
  g_claimedList = list;
}

void ReleaseExitHandlers(const ExitHandlerList* list) {
  std::lock_guard lock(g_mutex);
  if (g_claimedList != list) return;
  g_claimingApp = nullptr;
  g_claimedList = nullptr;
}

void AppendExitHandler(ExitHandlerList& list, ExitHandler handler) {
  if (handler == nullptr) return;
  std::lock_guard lock(g_mutex);
  list.push_back(handler);
}

void RunExitHandlers(ExitHandlerList& list) {
  // By index and without the lock while a handler runs: a handler may
  // register further handlers, which run in this pass.
  for (size_t i = 0;; ++i) {
    ExitHandler handler;
    {
      std::lock_guard lock(g_mutex);
      if (i >= list.size()) {
        list.clear();
        return;
      }
      handler = list[i];
    }
    handler();
  }
}

}  // namespace xtb::frame

void AtXTExit(void (*handler)()) {
  if (handler != nullptr && !xtb::frame::AppendToClaimedList(handler)) std::atexit(handler);
}
