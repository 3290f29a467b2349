#include "assemblyline.h"

#include <new>

#include "os/thread.h"
#include "resultof.h"

namespace xtb::xml {

HRESULT AssemblyLine::Run(const std::function<HRESULT(TapeSink&)>& produce) {
  os::NativeThread producer;
  bool started = false;
  try {
    // Room for every tape there can be, so that handing one back never
    // allocates on this side.
    m_spare.reserve(kMostQueued + 2);
    // Nothing may leave the producer's thread but its result.
    started = producer.Start([this, &produce] { EndInput(ResultOf([&] { return produce(*this); })); });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (!started) return produce(m_target);
  Drain();
  producer.Join();
  return FAILED(m_result) ? m_result : m_produced;
}

HRESULT AssemblyLine::Take(Tape& tape) {
  Tape spare;
  {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [this] { return m_queued.size() < kMostQueued || FAILED(m_result); });
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

void AssemblyLine::EndInput(HRESULT produced) {
  {
    std::lock_guard lock(m_mutex);
    m_produced = produced;
    m_inputEnded = true;
  }
  m_work.notify_one();
}

// Once the target has failed, the rest is dropped: the producer learns of it
// with its next tape and ends the parse.
void AssemblyLine::Drain() {
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
    // A target that throws ends the run like one that fails, so that the
    // producer is always released and joined.
    if (SUCCEEDED(result)) result = ResultOf([&] { return m_target.Take(tape); });
    tape.Clear();
    {
      std::lock_guard lock(m_mutex);
      if (SUCCEEDED(m_result)) m_result = result;
      m_spare.push_back(std::move(tape));
    }
    if (FAILED(result)) m_room.notify_one();
  }
}

}  // namespace xtb::xml
