#include "assemblyline.h"

namespace xtb::xml {

AssemblyLine::AssemblyLine(TapeSink& target) : m_target(target) { m_worker = std::thread([this] { Run(); }); }

AssemblyLine::~AssemblyLine() { Finish(); }

HRESULT AssemblyLine::Take(Tape& tape) {
  Tape spare;
  {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [this] { return m_queued.size() < kMostQueued; });
    if (FAILED(m_result)) return m_result;
    m_queued.push_back(std::move(tape));
    if (!m_spare.empty()) {
      spare = std::move(m_spare.back());
      m_spare.pop_back();
    }
  }
  m_work.notify_one();
  tape = std::move(spare);
  return S_OK;
}

HRESULT AssemblyLine::Finish() {
  if (m_worker.joinable()) {
    {
      std::lock_guard lock(m_mutex);
      m_inputEnded = true;
    }
    m_work.notify_one();
    m_worker.join();
  }
  return m_result;
}

// Once the target has failed, the rest is dropped: the writer learns of it
// with its next tape and ends the parse.
void AssemblyLine::Run() {
  for (;;) {
    Tape tape;
    HRESULT result;
    {
      std::unique_lock lock(m_mutex);
      m_work.wait(lock, [this] { return !m_queued.empty() || m_inputEnded; });
      if (m_queued.empty()) return;
      tape = std::move(m_queued.front());
      m_queued.pop_front();
      result = m_result;
    }
    m_room.notify_one();
    if (SUCCEEDED(result)) result = m_target.Take(tape);
    tape.Clear();
    std::lock_guard lock(m_mutex);
    if (SUCCEEDED(m_result)) m_result = result;
    m_spare.push_back(std::move(tape));
  }
}

}  // namespace xtb::xml
