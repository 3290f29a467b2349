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

void XTParallelForChunks(int from, int to, const XTParallelBody& body, int chunk, const XTParallelInit& init,
                         const XTParallelFinish& finish, bool pumpMessages, XTParallelChunkLoop loop) {
  const int64_t count = static_cast<int64_t>(to) - from;
  const bool inlinePath = count <= std::max(chunk, 0) ||
                          !Pool().Run(from, to, body, chunk, init, finish, pumpMessages, loop);
  if (inlinePath) xtb::RunInline(from, to, body, init, finish, loop);
}

void xtb::exported::ParallelFor(int from, int to, XTParallelBody body, int chunk, XTParallelInit init,
                                XTParallelFinish finish, bool pumpMessages) {
  XTParallelForChunks(from, to, body, chunk, init, finish, pumpMessages, &XTRunParallelChunk);
}
