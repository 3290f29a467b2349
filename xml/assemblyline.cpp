#include "assemblyline.h"

namespace xtb::xml {

AssemblyLine::AssemblyLine(ClosedElementSink& target) : m_target(target) {
  m_filling.entries.reserve(kBatchSize);
  m_worker = std::thread([this] { Run(); });
}

AssemblyLine::~AssemblyLine() { Finish(); }

HRESULT AssemblyLine::Put(const ClosedElement& element) {
  m_filling.bytes.append(element.name).append(element.text).append(element.rawAttributes);
  if (element.largeText != nullptr) m_filling.largeTexts.push_back(std::move(*element.largeText));
  m_filling.entries.push_back({element.childCount, static_cast<uint32_t>(element.name.size()),
                               static_cast<uint32_t>(element.text.size()),
                               static_cast<uint32_t>(element.rawAttributes.size()),
                               static_cast<uint32_t>(element.attributeCount), element.largeText != nullptr,
                               element.documentElement});
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
      std::string_view bytes = batch.bytes;
      const auto take = [&bytes](size_t length) {
        const std::string_view piece = bytes.substr(0, length);
        bytes.remove_prefix(length);
        return piece;
      };
      auto largeText = batch.largeTexts.begin();
      for (const Batch::Entry& entry : batch.entries) {
        if (failed) break;
        ClosedElement element;
        element.name = take(entry.nameLength);
        element.text = take(entry.textLength);
        element.rawAttributes = take(entry.attributesLength);
        if (entry.largeText) element.largeText = &*largeText++;
        element.attributeCount = entry.attributeCount;
        element.childCount = entry.childCount;
        element.documentElement = entry.documentElement;
        failed = FAILED(m_target.Put(element));
      }
    } catch (...) {
      failed = true;  // memory ran out; the tree keeps what was put together
    }
    batch.entries.clear();
    batch.bytes.clear();
    batch.largeTexts.clear();
    std::lock_guard lock(m_mutex);
    m_failed = m_failed || failed;
    m_spare.push_back(std::move(batch));
  }
}

}  // namespace xtb::xml
