// Wall-clock loop timing for benchmarks of threads: the processor time of
// the process would count every worker's time, the waiting ones' too.
#pragma once

#include <chrono>

#include "text_ratio.h"

namespace xtbbench {

class WallTimer {
 public:
  WallTimer(benchmark::State& state, const char* name)
      : m_state(state), m_name(name), m_start(std::chrono::steady_clock::now()) {}
  ~WallTimer() {
    if (m_state.iterations() == 0) return;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
    RatioBoard::Instance().Record(m_name, elapsed.count() / static_cast<double>(m_state.iterations()));
  }

 private:
  benchmark::State& m_state;
  const char* m_name;
  std::chrono::steady_clock::time_point m_start;
};

}  // namespace xtbbench
