// XTStackTrace (symbols and source lines of ten frames, the modules read
// once) against the C library's backtrace() with backtrace_symbols(), which
// names the frames from the dynamic symbol tables only.
#include <execinfo.h>

#include <cstdlib>
#include <xtbasis/crashreport.h>

#include <benchmark/benchmark.h>

#include "peer_ratio.h"

namespace {

__attribute__((noinline)) int Nested(int depth, CString& text) {
  const int result = depth == 0 ? XTStackTrace(text) : Nested(depth - 1, text);
  asm volatile("" ::: "memory");
  return result;
}

__attribute__((noinline)) int NestedPeer(int depth) {
  int result = 0;
  if (depth == 0) {
    void* frames[12];
    const int count = backtrace(frames, 12);
    char** names = backtrace_symbols(frames, count);
    result = names != nullptr ? count : 0;
    std::free(names);
  } else {
    result = NestedPeer(depth - 1);
  }
  asm volatile("" ::: "memory");
  return result;
}

void BM_StackTraceOwn(benchmark::State& state) {
  CString text;
  Nested(12, text);  // the modules are read on the first trace
  for (auto _ : state) benchmark::DoNotOptimize(Nested(12, text));
}
BENCHMARK(BM_StackTraceOwn);

void BM_StackTracePeer(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(NestedPeer(12));
}
BENCHMARK(BM_StackTracePeer);

const xtbbench::Ratio kStackTraceRatio("BM_StackTraceOwn", "BM_StackTracePeer", "XTStackTrace / backtrace_symbols");

}  // namespace
