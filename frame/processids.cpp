#include "processids.h"

#include <pthread.h>

#include <atomic>
#include <xtbasis/platform/clock.h>

namespace xtb {

namespace {

std::atomic<DWORD> g_processId{0};
thread_local DWORD t_threadId = 0;

// In the child only the forking thread lives on; its handler runs on it.
void ForgetIdsInChild() {
  g_processId.store(0, std::memory_order_relaxed);
  t_threadId = 0;
}

const int g_atForkRegistered = pthread_atfork(nullptr, nullptr, ForgetIdsInChild);

}  // namespace

DWORD CachedProcessId() {
  (void)g_atForkRegistered;
  DWORD id = g_processId.load(std::memory_order_relaxed);
  if (id == 0) {
    id = GetCurrentProcessId();
    g_processId.store(id, std::memory_order_relaxed);
  }
  return id;
}

DWORD CachedThreadId() {
  if (t_threadId == 0) t_threadId = GetCurrentThreadId();
  return t_threadId;
}

}  // namespace xtb
