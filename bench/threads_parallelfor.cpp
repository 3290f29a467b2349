// ParallelFor against an OpenMP parallel for running the same body (one
// std::function call per index) in the same run: an empty body over 10^4
// indexes (the cost of handing out and collecting the chunks), light work
// over 10^6 indexes, and the dispatch-to-return latency of a call with a
// single chunk.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>
#include <xtbasis/threads.h>

#include "peer_ratio.h"

namespace {

std::vector<double> g_out(1000000);

const XTParallelBody kEmpty = [](int, void*) {};
const XTParallelBody kLight = [](int i, void*) { g_out[static_cast<size_t>(i)] = std::sqrt(static_cast<double>(i)) * 1.5; };

void OpenMpFor(int from, int to, const XTParallelBody& body) {
#pragma omp parallel for
  for (int i = from; i < to; ++i) body(i, nullptr);
}

void ParallelEmpty() { ParallelFor(0, 10000, kEmpty); }
void OpenMpEmpty() { OpenMpFor(0, 10000, kEmpty); }
void ParallelLight() { ParallelFor(0, 1000000, kLight); }
void OpenMpLight() { OpenMpFor(0, 1000000, kLight); }
// One index with chunk 0: the parallel path with exactly one chunk.
void ParallelOneChunk() { ParallelFor(0, 1, kEmpty); }
void OpenMpOneChunk() {
#pragma omp parallel for num_threads(2)
  for (int i = 0; i < 1; ++i) kEmpty(i, nullptr);
}

// Each call timed alone; the ratio compares medians, which a call that
// waited for a processor of the shared machine does not move.
void Timed(benchmark::State& state, void (*run)()) {
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    run();
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  xtbbench::SetMedianTime(state, std::move(seconds));
}

BENCHMARK_CAPTURE(Timed, ParallelForEmpty, &ParallelEmpty)->UseRealTime();
BENCHMARK_CAPTURE(Timed, OpenMpEmpty, &OpenMpEmpty)->UseRealTime();
BENCHMARK_CAPTURE(Timed, ParallelForLight, &ParallelLight)->UseRealTime();
BENCHMARK_CAPTURE(Timed, OpenMpLight, &OpenMpLight)->UseRealTime();
BENCHMARK_CAPTURE(Timed, ParallelForOneChunk, &ParallelOneChunk)->UseRealTime();
BENCHMARK_CAPTURE(Timed, OpenMpOneChunk, &OpenMpOneChunk)->UseRealTime();

const xtbbench::Ratio empty("Timed/ParallelForEmpty", "Timed/OpenMpEmpty",
                            "ParallelFor / OpenMP, empty body, 10^4 indexes", xtbbench::Clock::Median, 0.9);
const xtbbench::Ratio light("Timed/ParallelForLight", "Timed/OpenMpLight",
                            "ParallelFor / OpenMP, light work, 10^6 indexes", xtbbench::Clock::Median);
const xtbbench::Ratio oneChunk("Timed/ParallelForOneChunk", "Timed/OpenMpOneChunk",
                               "ParallelFor / OpenMP, one chunk (latency)", xtbbench::Clock::Median, 0.9);

}  // namespace
