// The CRC hot paths against peers in the same run:
//  - XTCheckSum of a 256 MiB file against coreutils cksum on the same file
//    (the same CRC plus the length bytes and an inversion);
//  - XTCalcCRC in memory against the classic loop, one table look-up a byte.
// "speedup" is the peer's time divided by ours (above 1: we are faster).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <xtbasis/checksum.h>

#include "peer_process.h"

namespace {

using xtbbench::Clock;
using xtbbench::Seconds;

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 12345;
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

constexpr size_t kFileSize = 256u << 20;

const xtbbench::BigFile& File() {
  static const xtbbench::BigFile file("xtb-bench-crc", kFileSize);
  return file;
}

// Runs cksum on the file with its output discarded; the elapsed seconds.
double RunCksum(const std::string& path) { return xtbbench::RunPeer({"cksum", path}); }

void BM_CheckSumVsCksum(benchmark::State& state) {
  const std::string& path = File().Path();
  RunCksum(path);  // both start from a warm page cache
  double ours = 0, peer = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    benchmark::DoNotOptimize(XTCheckSum(path.c_str()));
    const double elapsed = Seconds(start);
    state.SetIterationTime(elapsed);
    ours += elapsed;
    peer += RunCksum(path);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
  state.counters["speedup"] = peer / ours;
  std::printf("XTCheckSum 256 MiB: %.1f ms, cksum: %.1f ms, ratio cksum/XTCheckSum %.2f\n",
              1e3 * ours / static_cast<double>(state.iterations()), 1e3 * peer / static_cast<double>(state.iterations()),
              peer / ours);
}
BENCHMARK(BM_CheckSumVsCksum)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The peer: one table look-up per byte.
uint32_t BytewiseCrc(const uint8_t* data, size_t length) {
  static const std::vector<uint32_t> table = [] {
    std::vector<uint32_t> entries(256);
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t value = i << 24;
      for (int bit = 0; bit < 8; ++bit) value = (value & 0x80000000u) ? (value << 1) ^ 0x04C11DB7u : value << 1;
      entries[i] = value;
    }
    return entries;
  }();
  uint32_t crc = 0;
  for (size_t i = 0; i < length; ++i) crc = (crc << 8) ^ table[(data[i] ^ (crc >> 24)) & 0xFF];
  return crc;
}

void BM_CalcCrcVsBytewise(benchmark::State& state) {
  const std::vector<uint8_t> data = Pattern(static_cast<size_t>(state.range(0)));
  const auto size = static_cast<uint32_t>(data.size());
  if (XTCalcCRC(data.data(), size) != BytewiseCrc(data.data(), data.size())) {
    state.SkipWithError("results differ");
    return;
  }
  double ours = 0, peer = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    benchmark::DoNotOptimize(XTCalcCRC(data.data(), size));
    const double elapsed = Seconds(start);
    state.SetIterationTime(elapsed);
    ours += elapsed;
    start = Clock::now();
    benchmark::DoNotOptimize(BytewiseCrc(data.data(), data.size()));
    peer += Seconds(start);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.counters["speedup"] = peer / ours;
}
BENCHMARK(BM_CalcCrcVsBytewise)->UseManualTime()->Arg(64)->Arg(4096)->Arg(1 << 20)->Arg(16 << 20);

}  // namespace
