// Tapes handed to another sink on a thread of its own, so that a large
// document's tree is put together while the parser reads on. The writer
// waits when the worker falls far behind, so that the tapes in flight stay
// few; emptied tapes go back to the writer, so that their storage is reused.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "eventtape.h"

namespace xtb::xml {

class AssemblyLine final : public TapeSink {
 public:
  // Starts the worker; std::system_error when no thread can be started.
  explicit AssemblyLine(TapeSink& target);
  ~AssemblyLine();
  AssemblyLine(const AssemblyLine&) = delete;
  AssemblyLine& operator=(const AssemblyLine&) = delete;

  // Queues the tape; the target's failure code once it has failed, which
  // ends the parse.
  HRESULT Take(Tape& tape) override;
  // Waits until everything queued has reached the target. S_OK, or the
  // target's first failure code.
  HRESULT Finish();

 private:
  static constexpr size_t kMostQueued = 16;

  void Run();

  TapeSink& m_target;
  std::mutex m_mutex;
  std::condition_variable m_work;  // a tape is queued, or the input ended
  std::condition_variable m_room;  // the queue has room again
  std::deque<Tape> m_queued;
  std::vector<Tape> m_spare;  // emptied tapes
  bool m_inputEnded = false;
  HRESULT m_result = S_OK;
  std::thread m_worker;
};

}  // namespace xtb::xml
