// The CRC hot paths against peers in the same run:
//  - XTCheckSum of a 256 MiB file against coreutils cksum on the same file
//    (the same CRC plus the length bytes and an inversion);
//  - XTCalcCRC in memory against the classic loop, one table look-up a byte.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <xtbasis/checksum.h>

#include "peer_ratio.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 12345;
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

// A 256 MiB file in the temporary directory, removed when the run ends.
class BigFile {
 public:
  static constexpr size_t kSize = 256u << 20;
  BigFile() : m_path((std::filesystem::temp_directory_path() / ("xtb-bench-crc-" + std::to_string(getpid()))).string()) {
    const std::vector<uint8_t> chunk = Pattern(1u << 20);
    std::ofstream out(m_path, std::ios::binary);
    for (size_t written = 0; written < kSize; written += chunk.size())
      out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
  }
  ~BigFile() { std::filesystem::remove(m_path); }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

const BigFile& File() {
  static const BigFile file;
  return file;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Runs cksum on the file with its output discarded; the elapsed seconds.
double RunCksum(const std::string& path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char program[] = "cksum";
  std::string argument = path;
  char* argv[] = {program, argument.data(), nullptr};
  const Clock::time_point start = Clock::now();
  pid_t pid = 0;
  int status = 0;
  if (posix_spawnp(&pid, "cksum", &actions, nullptr, argv, environ) == 0) waitpid(pid, &status, 0);
  const double elapsed = Seconds(start);
  posix_spawn_file_actions_destroy(&actions);
  return elapsed;
}

// Both start from a warm page cache: the file is written just before.
void BM_CheckSum(benchmark::State& state) {
  const std::string& path = File().Path();
  for (auto _ : state) benchmark::DoNotOptimize(XTCheckSum(path.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigFile::kSize));
}

void BM_Cksum(benchmark::State& state) {
  const std::string& path = File().Path();
  for (auto _ : state) state.SetIterationTime(RunCksum(path));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigFile::kSize));
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
  const std::vector<uint8_t> data = Pattern(static_cast<size_t>(state.range(0)));
  const auto size = static_cast<uint32_t>(data.size());
  if (XTCalcCRC(data.data(), size) != BytewiseCrc(data.data(), data.size())) {
    state.SkipWithError("results differ");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(XTCalcCRC(data.data(), size));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_BytewiseCrc(benchmark::State& state) {
  const std::vector<uint8_t> data = Pattern(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(BytewiseCrc(data.data(), data.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

constexpr int kSizes[] = {64, 4096, 1 << 20, 16 << 20};
BENCHMARK(BM_CalcCrc)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3]);
BENCHMARK(BM_BytewiseCrc)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3]);

const xtbbench::Ratio kFileRatio("BM_CheckSum", "BM_Cksum", "XTCheckSum / cksum, 256 MiB file", xtbbench::Clock::Wall);
[[maybe_unused]] const bool kMemoryRatios = [] {
  for (const int size : kSizes)
    xtbbench::AddRatio("BM_CalcCrc/" + std::to_string(size), "BM_BytewiseCrc/" + std::to_string(size),
                       "XTCalcCRC / byte loop, " + std::to_string(size) + " bytes");
  return true;
}();

}  // namespace
