#include <xtbasis/exithandlers.h>
#include <xtbasis/threads.h>

#include <mutex>

#include "parallelpool.h"
#include "os/thread.h"

namespace {

xtb::ParallelPool* g_pool = nullptr;

void ShutdownPool() { g_pool->ShutdownUnlessBusy(); }

// The process's pool, started on first use: one worker per processor, none
// on a single processor. Never destroyed; its workers end through the
// application's exit handlers.
xtb::ParallelPool& Pool() {
  static std::once_flag started;
  std::call_once(started, [] {
    const int processors = xtb::os::ProcessorCount();
    g_pool = new xtb::ParallelPool(processors > 1 ? processors : 0);
    AtXTExit(&ShutdownPool);
  });
  return *g_pool;
}

}  // namespace

void ParallelFor(int from, int to, XTParallelBody body, int chunk, XTParallelInit init, XTParallelFinish finish,
                 bool pumpMessages) {
  const int64_t count = static_cast<int64_t>(to) - from;
  const bool inlinePath = count <= std::max(chunk, 0) ||
                          !Pool().Run(from, to, body, chunk, init, finish, pumpMessages);
  if (inlinePath) xtb::RunInline(from, to, body, init, finish);
}
