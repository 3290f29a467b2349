// How every benchmark program reports against its peer: a file registers
// ratio lines from static objects, and the shared main (peer_ratio_main.cpp)
// prints them after the run as "speed ratio <label>: <peer time / own time>",
// so above 1 the library is faster, followed by the target where the path
// has one and "below target" when the run missed it.
//
// Benchmarks are named by function and arguments ("BM_CalcCrc/4096"),
// without the suffixes of repetitions and time kind. Of several runs of one benchmark
// (repetitions) the best counts, the one least disturbed by other work on
// the machine.
#pragma once

#include <string>
#include <vector>

namespace benchmark {
class State;
}

namespace xtbbench {

enum class Clock {
  Cpu,   // processor time of the benchmark thread: for work in memory
  Wall,  // real time, or the time a benchmark sets itself: for system calls and other processes
  Median,  // the median a benchmark reports through SetMedianTime: for latencies on a shared machine
};

// Reports the median of the seconds the benchmark timed per iteration itself
// (as the counter "median_us"); a few iterations that waited for a processor
// do not move it, where they would move the mean.
void SetMedianTime(benchmark::State& state, std::vector<double> seconds);

// `atLeast`: the ratio the path is meant to reach, 0 for none.
void AddRatio(std::string own, std::string peer, std::string label, Clock clock = Clock::Cpu, double atLeast = 0);
// An absolute figure: "<label>: <n> ns per iteration"; `atMostNs`: the
// time it is meant to stay below, 0 for none.
void AddFigure(std::string name, std::string label, Clock clock = Clock::Cpu, double atMostNs = 0);

// For registering from a static object of the benchmark's file.
struct Ratio {
  Ratio(std::string own, std::string peer, std::string label, Clock clock = Clock::Cpu, double atLeast = 0) {
    AddRatio(std::move(own), std::move(peer), std::move(label), clock, atLeast);
  }
};
struct Figure {
  Figure(std::string name, std::string label, Clock clock = Clock::Cpu, double atMostNs = 0) {
    AddFigure(std::move(name), std::move(label), clock, atMostNs);
  }
};

}  // namespace xtbbench
