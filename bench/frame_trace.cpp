// The trace log: a filtered-out XTTrace call, and the rate of written
// records against a plain open-append-close loop writing the same bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "peer_ratio.h"

namespace {

class BenchSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return "SOFTWARE\\XTFrameBench"; }
};

struct Setup {
  Setup() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-bench-frame-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir = pattern;
    setenv("XTBASIS_REGISTRY_DIR", (dir + "/hives").c_str(), 1);
    sysBase.LogDir = CString(dir + "/");
    gp_XTSysBase = &sysBase;
    SetXTTraceLevel(2);  // reads the (empty) settings once; box level stays 0
  }
  ~Setup() {
    gp_XTSysBase = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string dir;
  BenchSysBase sysBase;
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void BM_FilteredOutTrace(benchmark::State& state) {
  Shared();
  for (auto _ : state) XTTrace(3, 1, __FILE__, __LINE__, "filtered %d", 1);
}
BENCHMARK(BM_FilteredOutTrace);

// Files are started afresh well below the rotation size.
constexpr long kRecordsPerFile = 5000;

// A record of a typical size: header plus a one-line message.
constexpr char kMessage[] = "CXTMailslotServer::Read ReadFile failed: No such file or directory";

void BM_TraceRecord(benchmark::State& state) {
  const std::string file = Shared().dir + "/records.log";
  long written = 0;
  for (auto _ : state) {
    XTTraceF(file.c_str(), 1, 1, "module.cpp", 131, "%s", kMessage);
    if (++written % kRecordsPerFile == 0) std::filesystem::remove(file);  // keep rotation out of the run
  }
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove(file);
}

void BM_PlainAppend(benchmark::State& state) {
  const std::string file = Shared().dir + "/plain.log";
  // The same bytes a record writes.
  const std::string record = std::string("ERROR\t2026.12.04\t10:21:06.042\t4711\t5120\t1\tmodule.cpp:131\t0\r\n\t") +
                             kMessage + "\r\n";
  long written = 0;
  for (auto _ : state) {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    benchmark::DoNotOptimize(write(fd, record.data(), record.size()));
    close(fd);
    if (++written % kRecordsPerFile == 0) std::filesystem::remove(file);
  }
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove(file);
}

// Three runs each; the best of each counts, the least disturbed by other
// work on the machine.
BENCHMARK(BM_TraceRecord)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_PlainAppend)->UseRealTime()->Repetitions(3);

const xtbbench::Figure kFiltered("BM_FilteredOutTrace", "filtered-out XTTrace", xtbbench::Clock::Cpu, 3);
const xtbbench::Ratio kRecordRatio("BM_TraceRecord", "BM_PlainAppend",
                                   "XTTraceF / open-append-close of the same bytes",
                                   xtbbench::Clock::Wall, 0.8);

}  // namespace
