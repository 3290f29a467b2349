// Ratios of the library's speed against its peer, printed when the benchmark
// program ends. Each benchmark times its loop with a LoopTimer; the last run
// of a benchmark (the one the library reports) is the one that counts.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace xtbbench {

// Processor time of the (single-threaded) benchmark program.
inline double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

class RatioBoard {
 public:
  static RatioBoard& Instance() {
    static RatioBoard board;
    return board;
  }
  void Record(const std::string& name, double secondsPerIteration) { m_seconds[name] = secondsPerIteration; }
  // Declares a line "label: peer time / own time"; above 1 the library is faster.
  void Compare(std::string own, std::string peer, std::string label) {
    m_lines.push_back({std::move(own), std::move(peer), std::move(label)});
  }
  ~RatioBoard() {
    for (const Line& line : m_lines) {
      const auto a = m_seconds.find(line.own);
      const auto b = m_seconds.find(line.peer);
      if (a != m_seconds.end() && b != m_seconds.end() && a->second > 0)
        std::printf("speed ratio %s: %.2f\n", line.label.c_str(), b->second / a->second);
    }
  }

 private:
  struct Line {
    std::string own, peer, label;
  };
  std::map<std::string, double> m_seconds;
  std::vector<Line> m_lines;
};

class LoopTimer {
 public:
  LoopTimer(benchmark::State& state, const char* name) : m_state(state), m_name(name), m_start(CpuSeconds()) {}
  ~LoopTimer() {
    if (m_state.iterations() > 0)
      RatioBoard::Instance().Record(m_name, (CpuSeconds() - m_start) / static_cast<double>(m_state.iterations()));
  }

 private:
  benchmark::State& m_state;
  const char* m_name;
  double m_start;
};

// Registers a ratio line from a static object of the benchmark's file.
struct Ratio {
  Ratio(const char* own, const char* peer, const char* label) { RatioBoard::Instance().Compare(own, peer, label); }
};

}  // namespace xtbbench
