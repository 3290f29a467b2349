// The CRC hot paths against peers in the same run:
//  - XTCheckSum of a 256 MiB file against coreutils cksum on the same file
//    (the same CRC plus the length bytes and an inversion);
//  - XTCalcCRC in memory against the classic loop, one table look-up a byte.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include <xtbasis/checksum.h>

#include "peer_process.h"
#include "peer_ratio.h"

namespace {

constexpr size_t kFileSize = 256u << 20;

const xtbbench::BigFile& File() {
  static const xtbbench::BigFile file("xtb-bench-crc", kFileSize);
  return file;
}

// Both start from a warm page cache: the file is written just before.
void BM_CheckSum(benchmark::State& state) {
  const std::string& path = File().Path();
  for (auto _ : state) benchmark::DoNotOptimize(XTCheckSum(path.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}

void BM_Cksum(benchmark::State& state) {
  const std::string& path = File().Path();
  for (auto _ : state) {
    const double seconds = xtbbench::RunPeer({"cksum", path});
    if (seconds < 0) {
      state.SkipWithError("cksum failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}
BENCHMARK(BM_CheckSum)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Cksum)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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

void BM_CalcCrc(benchmark::State& state) {
  const std::vector<uint8_t> data = xtbbench::PseudoRandomBytes(static_cast<size_t>(state.range(0)));
  const auto size = static_cast<uint32_t>(data.size());
  if (XTCalcCRC(data.data(), size) != BytewiseCrc(data.data(), data.size())) {
    state.SkipWithError("results differ");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(XTCalcCRC(data.data(), size));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_BytewiseCrc(benchmark::State& state) {
  const std::vector<uint8_t> data = xtbbench::PseudoRandomBytes(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(BytewiseCrc(data.data(), data.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

constexpr int kSizes[] = {64, 4096, 1 << 20, 16 << 20};
BENCHMARK(BM_CalcCrc)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3]);
BENCHMARK(BM_BytewiseCrc)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3]);

const xtbbench::Ratio kFileRatio("BM_CheckSum", "BM_Cksum", "XTCheckSum / cksum, 256 MiB file",
                                 xtbbench::Clock::Wall, 1.5);
[[maybe_unused]] const bool kMemoryRatios = [] {
  for (const int size : kSizes)
    xtbbench::AddRatio("BM_CalcCrc/" + std::to_string(size), "BM_BytewiseCrc/" + std::to_string(size),
                       "XTCalcCRC / byte loop, " + std::to_string(size) + " bytes");
  return true;
}();

}  // namespace
