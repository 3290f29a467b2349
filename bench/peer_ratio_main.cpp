// The main of every benchmark program: runs the benchmarks, keeps the best
// time per iteration of each, then prints the lines registered through
// peer_ratio.h.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "peer_ratio.h"

namespace xtbbench {

namespace {

struct Line {
  std::string own, peer, label;  // peer empty: an absolute figure
  Clock clock;
  double target;  // a ratio's least, a figure's most nanoseconds; 0: none
};

// " (target >= 1.5)", with ", below target" when `value` misses it.
std::string TargetNote(double target, double value, bool higherIsBetter) {
  if (target <= 0) return "";
  char note[64];
  const bool met = higherIsBetter ? value >= target : value < target;
  std::snprintf(note, sizeof note, " (target %s %g%s)", higherIsBetter ? ">=" : "<", target,
                met ? "" : ", below target");
  return note;
}

std::vector<Line>& Lines() {
  static std::vector<Line> lines;
  return lines;
}

constexpr const char* kMedianCounter = "median_us";

class BestTimes : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
      if (run.error_occurred) {
        m_errors.try_emplace(name, run.error_message);
        continue;
      }
      if (run.iterations == 0) continue;
      const double n = static_cast<double>(run.iterations);
      Keep(m_cpu, name, run.cpu_accumulated_time / n);
      Keep(m_wall, name, run.real_accumulated_time / n);
      if (const auto median = run.counters.find(kMedianCounter); median != run.counters.end())
        Keep(m_median, name, median->second.value * 1e-6);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Seconds per iteration, 0 when the benchmark did not run.
  double Of(const std::string& name, Clock clock) const {
    const auto& times = clock == Clock::Cpu ? m_cpu : clock == Clock::Wall ? m_wall : m_median;
    const auto it = times.find(name);
    return it == times.end() ? 0 : it->second;
  }
  // Why the benchmark failed in one of its runs, empty when none did. A
  // failed run does not count, even if another run of it succeeded.
  std::string ErrorOf(const std::string& name) const {
    const auto it = m_errors.find(name);
    return it == m_errors.end() ? "" : name + ": " + it->second;
  }

 private:
  static void Keep(std::map<std::string, double>& times, const std::string& name, double seconds) {
    auto [it, fresh] = times.try_emplace(name, seconds);
    if (!fresh && seconds < it->second) it->second = seconds;
  }
  std::map<std::string, double> m_cpu, m_wall, m_median;
  std::map<std::string, std::string> m_errors;
};

}  // namespace

void SetMedianTime(benchmark::State& state, std::vector<double> seconds) {
  if (seconds.empty()) return;
  const auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
  std::nth_element(seconds.begin(), middle, seconds.end());
  state.counters[kMedianCounter] = *middle * 1e6;
}

void AddRatio(std::string own, std::string peer, std::string label, Clock clock, double atLeast) {
  Lines().push_back({std::move(own), std::move(peer), std::move(label), clock, atLeast});
}

void AddFigure(std::string name, std::string label, Clock clock, double atMostNs) {
  Lines().push_back({std::move(name), "", std::move(label), clock, atMostNs});
}

}  // namespace xtbbench

int main(int argc, char** argv) {
  using namespace xtbbench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BestTimes times;
  benchmark::RunSpecifiedBenchmarks(&times);
  std::printf("\n");
  int failed = 0;
  for (const Line& line : Lines()) {
    // A failed benchmark is named with its error, never printed as a figure.
    std::string error = times.ErrorOf(line.own);
    if (const std::string peerError = times.ErrorOf(line.peer); !peerError.empty())
      error += (error.empty() ? "" : "; ") + peerError;
    if (!error.empty()) {
      std::printf("%s%s: not measured (%s)\n", line.peer.empty() ? "" : "speed ratio ", line.label.c_str(),
                  error.c_str());
      ++failed;
      continue;
    }
    const double own = times.Of(line.own, line.clock);
    if (own <= 0) continue;  // filtered out
    if (line.peer.empty()) {
      std::printf("%s: %.1f ns per iteration%s\n", line.label.c_str(), own * 1e9,
                  TargetNote(line.target, own * 1e9, false).c_str());
    } else if (const double peer = times.Of(line.peer, line.clock); peer > 0) {
      std::printf("speed ratio %s: %.2f%s\n", line.label.c_str(), peer / own,
                  TargetNote(line.target, peer / own, true).c_str());
    }
  }
  benchmark::Shutdown();
  return failed == 0 ? 0 : 1;
}
