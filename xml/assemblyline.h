// Closed elements handed to another sink on a thread of its own, in
// batches, so that a large document's tree is put together while the parser
// reads on. The producer waits when the worker falls far behind, so that
// the batches in flight stay few.
#pragma once

#include <condition_variable>
#include <cstdint>
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
  HRESULT Put(const ClosedElement& element) override;
  // Waits until everything handed over has reached the target. S_OK, or
  // E_OUTOFMEMORY when the worker failed on the way.
  HRESULT Finish();

 private:
  // A batch holds its elements' bytes one after the other (name, text,
  // attributes), since the element reader reuses its buffers, and their
  // large texts in the order of the elements; the lengths fit in 32 bits, as
  // documents are below 2 GiB.
  struct Batch {
    struct Entry {
      size_t childCount;
      uint32_t nameLength, textLength, attributesLength, attributeCount;
      bool largeText, documentElement;
    };
    std::vector<Entry> entries;
    std::string bytes;
    std::vector<CString> largeTexts;
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
