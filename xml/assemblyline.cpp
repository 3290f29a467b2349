#include "assemblyline.h"

namespace xtb::xml {

AssemblyLine::AssemblyLine(ClosedElementSink& target) : m_target(target) {
  m_filling.entries.reserve(kBatchSize);
  m_worker = std::thread([this] { Run(); });
}

AssemblyLine::~AssemblyLine() { Finish(); }

HRESULT AssemblyLine::Put(ClosedElement&& element) {
  const size_t at = m_filling.attributeBytes.size();
  m_filling.attributeBytes.append(element.rawAttributes);
  m_filling.entries.push_back({std::move(element), at});
  return m_filling.entries.size() < kBatchSize ? S_OK : Send();
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
  m_filling.entries.reserve(kBatchSize);
  return S_OK;
}

HRESULT AssemblyLine::Finish() {
  if (!m_worker.joinable()) return m_failed ? E_OUTOFMEMORY : S_OK;
  const HRESULT sent = m_filling.entries.empty() ? S_OK : Send();
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
      const std::string_view bytes = batch.attributeBytes;
      for (auto& [element, attributesAt] : batch.entries) {
        if (failed) break;
        // The view still has its length; its bytes are now the batch's copy.
        element.rawAttributes = bytes.substr(attributesAt, element.rawAttributes.size());
        failed = FAILED(m_target.Put(std::move(element)));
      }
    } catch (...) {
      failed = true;  // memory ran out; the tree keeps what was put together
    }
    batch.entries.clear();
    batch.attributeBytes.clear();
    std::lock_guard lock(m_mutex);
    m_failed = m_failed || failed;
    m_spare.push_back(std::move(batch));
  }
}

}  // namespace xtb::xml
