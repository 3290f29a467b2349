// CString::Format against snprintf into a buffer copied into a string (what
// Format cost before it had its own formatter): a record line of texts and
// integers, and one with a floating-point amount.
#include <benchmark/benchmark.h>
#include <xtbasis/platform/cstring.h>

#include <cstdio>
#include <string>

#include "peer_ratio.h"

namespace {

const char* const kNames[] = {"M\xFCller", "Schmidt", "Wei\xDF", "Zahnarztpraxis Dr. Becker"};

void FormatRecord(benchmark::State& state) {
  CString line;
  int i = 0;
  for (auto _ : state) {
    ++i;
    line.Format("%s;%05d;%x;%-8s|%u", kNames[i & 3], i, i * 7, "OK", static_cast<unsigned>(i) * 13u);
    benchmark::DoNotOptimize(line.GetString());
  }
}

void SnprintfRecord(benchmark::State& state) {
  std::string line;
  int i = 0;
  for (auto _ : state) {
    ++i;
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, "%s;%05d;%x;%-8s|%u", kNames[i & 3], i, i * 7, "OK",
                                static_cast<unsigned>(i) * 13u);
    line.assign(buffer, static_cast<size_t>(n));
    benchmark::DoNotOptimize(line.data());
  }
}

void FormatAmount(benchmark::State& state) {
  CString line;
  int i = 0;
  for (auto _ : state) {
    ++i;
    line.Format("%s: %.2f EUR (%d)", kNames[i & 3], i * 0.37, i);
    benchmark::DoNotOptimize(line.GetString());
  }
}

void SnprintfAmount(benchmark::State& state) {
  std::string line;
  int i = 0;
  for (auto _ : state) {
    ++i;
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, "%s: %.2f EUR (%d)", kNames[i & 3], i * 0.37, i);
    line.assign(buffer, static_cast<size_t>(n));
    benchmark::DoNotOptimize(line.data());
  }
}

BENCHMARK(FormatRecord);
BENCHMARK(SnprintfRecord);
BENCHMARK(FormatAmount);
BENCHMARK(SnprintfAmount);

const xtbbench::Ratio kRecordRatio("FormatRecord", "SnprintfRecord", "CString::Format / snprintf, texts and integers");
const xtbbench::Ratio kAmountRatio("FormatAmount", "SnprintfAmount", "CString::Format / snprintf, with a %.2f");

}  // namespace
