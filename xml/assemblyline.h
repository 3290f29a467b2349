// Tapes made on a thread of its own and handed to a sink on the calling
// thread, so that a large document's tree is put together while the parser
// reads on. The tree's memory is taken on the calling thread, which will own
// and free it: glibc grows the arena of any other thread a page per system
// call (some 37,000 mprotect calls for the benchmark's tree, more than the
// parse costs), while the main thread's arena grows by brk in steps of
// 128 KiB. The producer waits when the sink falls far behind, so that the
// tapes in flight stay few; emptied tapes go back to the producer, so that
// their storage is reused.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "eventtape.h"

namespace xtb::xml {

class AssemblyLine final : public TapeSink {
 public:
  explicit AssemblyLine(TapeSink& target) : m_target(target) {}
  AssemblyLine(const AssemblyLine&) = delete;
  AssemblyLine& operator=(const AssemblyLine&) = delete;

  // Runs `produce` on a thread of its own with this line as its sink,
  // handing the tapes it gives on to the target here, until it has returned
  // and all it gave has reached the target. Its result, or the target's
  // first failure code. When no thread can be started, `produce` runs here
  // with the target itself as its sink.
  HRESULT Run(const std::function<HRESULT(TapeSink&)>& produce);

  // The producer's side: queues the tape; the target's failure code once it
  // has failed, which ends the parse.
  HRESULT Take(Tape& tape) override;

 private:
  static constexpr size_t kMostQueued = 16;

  // Passes the queued tapes on until the producer has ended.
  void Drain();
  void EndInput(HRESULT produced);

  TapeSink& m_target;
  std::mutex m_mutex;
  std::condition_variable m_work;  // a tape is queued, or the input ended
  std::condition_variable m_room;  // the queue has room again
  std::deque<Tape> m_queued;
  std::vector<Tape> m_spare;  // emptied tapes
  bool m_inputEnded = false;
  HRESULT m_produced = S_OK;  // the producer's result
  HRESULT m_result = S_OK;    // the target's first failure
};

}  // namespace xtb::xml
