// The trace log: a filtered-out XTTrace call, and the rate of written
// records against a plain open-append-close loop writing the same bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <vector>
#include <filesystem>
#include <string>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

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

// Three runs each; the ratio compares the best of each, the least disturbed
// by other work on the machine.
BENCHMARK(BM_TraceRecord)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_PlainAppend)->UseRealTime()->Repetitions(3);

// Remembers the best wall time per iteration of each benchmark.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const double perIteration = run.real_accumulated_time / run.iterations;
      auto [best, fresh] = seconds.try_emplace(run.run_name.function_name, perIteration);
      if (!fresh && perIteration < best->second) best->second = perIteration;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double filtered = reporter.seconds["BM_FilteredOutTrace"];
  const double trace = reporter.seconds["BM_TraceRecord"];
  const double plain = reporter.seconds["BM_PlainAppend"];
  if (filtered > 0) std::printf("filtered-out XTTrace: %.1f ns per call (target < 20)\n", filtered * 1e9);
  if (trace > 0 && plain > 0)
    std::printf("record rate XTTraceF / open-append-close of the same bytes: %.2f (target >= 0.8)\n", plain / trace);
  benchmark::Shutdown();
  return 0;
}
