// Closed elements handed to another sink on a thread of its own, in
// batches, so that a large document's tree is put together while the parser
// reads on. The producer waits when the worker falls far behind, so that
// the batches in flight stay few.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "closedelement.h"

namespace xtb::xml {

class AssemblyLine final : public ClosedElementSink {
 public:
  // Starts the worker; std::system_error when no thread can be started.
  explicit AssemblyLine(ClosedElementSink& target);
  ~AssemblyLine();
  AssemblyLine(const AssemblyLine&) = delete;
  AssemblyLine& operator=(const AssemblyLine&) = delete;

  // E_OUTOFMEMORY once the worker has failed; the parse then ends.
  HRESULT Put(ClosedElement&& element) override;
  // Waits until everything handed over has reached the target. S_OK, or
  // E_OUTOFMEMORY when the worker failed on the way.
  HRESULT Finish();

 private:
  // The elements' raw attributes are copied into one buffer of the batch,
  // since the element reader reuses their storage.
  struct Batch {
    struct Entry {
      ClosedElement element;
      size_t attributesAt;
    };
    std::vector<Entry> entries;
    std::string attributeBytes;
  };
  static constexpr size_t kBatchSize = 1024;
  static constexpr size_t kMostQueued = 16;

  HRESULT Send();
  void Run();

  ClosedElementSink& m_target;
  Batch m_filling;
  std::mutex m_mutex;
  std::condition_variable m_work;  // a batch is queued, or the input ended
  std::condition_variable m_room;  // the queue has room again
  std::deque<Batch> m_queued;
  std::vector<Batch> m_spare;      // emptied batches, their storage reused
  bool m_inputEnded = false;
  bool m_failed = false;
  std::thread m_worker;
};

}  // namespace xtb::xml
