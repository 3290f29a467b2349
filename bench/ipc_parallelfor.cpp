// ParallelFor against an OpenMP parallel for running the same body (one
// std::function call per index) in the same run: an empty body over 10^4
// indexes (the cost of handing out and collecting the chunks), light work
// over 10^6 indexes, and the dispatch-to-return latency of a call with a
// single chunk.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>
#include <xtbasis/threads.h>

#include "ipc_wallclock.h"

namespace {

std::vector<double> g_out(1000000);

const XTParallelBody kEmpty = [](int, void*) {};
const XTParallelBody kLight = [](int i, void*) { g_out[static_cast<size_t>(i)] = std::sqrt(static_cast<double>(i)) * 1.5; };

void OpenMpFor(int from, int to, const XTParallelBody& body) {
#pragma omp parallel for
  for (int i = from; i < to; ++i) body(i, nullptr);
}

void BM_ParallelForEmpty(benchmark::State& state) {
  xtbbench::WallTimer timer(state, "empty");
  for (auto _ : state) ParallelFor(0, 10000, kEmpty);
}
void BM_OpenMpEmpty(benchmark::State& state) {
  xtbbench::WallTimer timer(state, "empty-omp");
  for (auto _ : state) OpenMpFor(0, 10000, kEmpty);
}
void BM_ParallelForLight(benchmark::State& state) {
  xtbbench::WallTimer timer(state, "light");
  for (auto _ : state) ParallelFor(0, 1000000, kLight);
}
void BM_OpenMpLight(benchmark::State& state) {
  xtbbench::WallTimer timer(state, "light-omp");
  for (auto _ : state) OpenMpFor(0, 1000000, kLight);
}
// One index with chunk 0: the parallel path with exactly one chunk.
void BM_ParallelForOneChunk(benchmark::State& state) {
  xtbbench::WallTimer timer(state, "one-chunk");
  for (auto _ : state) ParallelFor(0, 1, kEmpty);
}
void BM_OpenMpOneChunk(benchmark::State& state) {
  xtbbench::WallTimer timer(state, "one-chunk-omp");
  for (auto _ : state) {
#pragma omp parallel for num_threads(2)
    for (int i = 0; i < 1; ++i) kEmpty(i, nullptr);
  }
}

BENCHMARK(BM_ParallelForEmpty)->UseRealTime();
BENCHMARK(BM_OpenMpEmpty)->UseRealTime();
BENCHMARK(BM_ParallelForLight)->UseRealTime();
BENCHMARK(BM_OpenMpLight)->UseRealTime();
BENCHMARK(BM_ParallelForOneChunk)->UseRealTime();
BENCHMARK(BM_OpenMpOneChunk)->UseRealTime();

const xtbbench::Ratio empty("empty", "empty-omp", "ParallelFor / OpenMP, empty body, 10^4 indexes");
const xtbbench::Ratio light("light", "light-omp", "ParallelFor / OpenMP, light work, 10^6 indexes");
const xtbbench::Ratio oneChunk("one-chunk", "one-chunk-omp", "ParallelFor / OpenMP, one chunk (latency)");

}  // namespace
