#include "assemblyline.h"

namespace xtb::xml {

AssemblyLine::AssemblyLine(ClosedElementSink& target) : m_target(target) {
  m_filling.reserve(kBatchSize);
  m_worker = std::thread([this] { Run(); });
}

AssemblyLine::~AssemblyLine() { Finish(); }

HRESULT AssemblyLine::Put(ClosedElement&& element) {
  m_filling.push_back(std::move(element));
  return m_filling.size() < kBatchSize ? S_OK : Send();
}

HRESULT AssemblyLine::Send() {
  Batch next;
  {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [this] { return m_queued.size() < kMostQueued; });
    if (m_failed) return E_OUTOFMEMORY;
    m_queued.push_back(std::move(m_filling));
    if (!m_spare.empty()) {
      next = std::move(m_spare.back());
      m_spare.pop_back();
    }
  }
  m_work.notify_one();
  m_filling = std::move(next);
  m_filling.reserve(kBatchSize);
  return S_OK;
}

HRESULT AssemblyLine::Finish() {
  if (!m_worker.joinable()) return m_failed ? E_OUTOFMEMORY : S_OK;
  const HRESULT sent = m_filling.empty() ? S_OK : Send();
  {
    std::lock_guard lock(m_mutex);
    m_inputEnded = true;
  }
  m_work.notify_one();
  m_worker.join();
  return FAILED(sent) || m_failed ? E_OUTOFMEMORY : S_OK;
}

// Once the target has failed, the rest is dropped: the producer learns of
// it at its next batch and ends the parse.
void AssemblyLine::Run() {
  for (;;) {
    Batch batch;
    bool failed;
    {
      std::unique_lock lock(m_mutex);
      m_work.wait(lock, [this] { return !m_queued.empty() || m_inputEnded; });
      if (m_queued.empty()) return;
      batch = std::move(m_queued.front());
      m_queued.pop_front();
      failed = m_failed;
    }
    m_room.notify_one();
    try {
      for (ClosedElement& element : batch) {
        if (failed) break;
        failed = FAILED(m_target.Put(std::move(element)));
      }
    } catch (...) {
      failed = true;  // memory ran out; the tree keeps what was put together
    }
    batch.clear();
    std::lock_guard lock(m_mutex);
    m_failed = m_failed || failed;
    m_spare.push_back(std::move(batch));
  }
}

}  // namespace xtb::xml
