// CXTStrBuf appends of small pieces against std::string: a fresh buffer per
// iteration (growth included) and a reused one (capacity kept).
#include <benchmark/benchmark.h>
#include <xtbasis/strbuf.h>

#include <string>

#include "peer_ratio.h"

namespace {

constexpr int kPieces = 20000;
const char* const kWords[] = {"Zahn", "18", "Befund", ";", "Krone", "\xE4rztlich", "47-45", "OK"};

template <typename Buffer>
void AppendPieces(Buffer& buffer) {
  for (int i = 0; i < kPieces; ++i) {
    buffer += kWords[i & 7];
    buffer += ',';
  }
}

void FreshStrBuf(benchmark::State& state) {
  for (auto _ : state) {
    CXTStrBuf buffer;
    AppendPieces(buffer);
    benchmark::DoNotOptimize(static_cast<const char*>(buffer));
  }
}

void FreshString(benchmark::State& state) {
  for (auto _ : state) {
    std::string buffer;
    AppendPieces(buffer);
    benchmark::DoNotOptimize(buffer.data());
  }
}

void ReusedStrBuf(benchmark::State& state) {
  CXTStrBuf buffer;
  for (auto _ : state) {
    buffer.Empty();
    AppendPieces(buffer);
    benchmark::DoNotOptimize(static_cast<const char*>(buffer));
  }
}

void ReusedString(benchmark::State& state) {
  std::string buffer;
  for (auto _ : state) {
    buffer.clear();
    AppendPieces(buffer);
    benchmark::DoNotOptimize(buffer.data());
  }
}

BENCHMARK(FreshStrBuf);
BENCHMARK(FreshString);
BENCHMARK(ReusedStrBuf);
BENCHMARK(ReusedString);

const xtbbench::Ratio kFreshStrBufRatio("FreshStrBuf", "FreshString", "CXTStrBuf / std::string, fresh buffer");
const xtbbench::Ratio kReusedStrBufRatio("ReusedStrBuf", "ReusedString", "CXTStrBuf / std::string, reused buffer",
                                        xtbbench::Clock::Cpu, 1.5);

}  // namespace
