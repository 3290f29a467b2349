// A program that installs the crash report and then fails the way its
// first argument says; the crash tests run it and read what it left.
//   crash_child MODE LOGDIR [REPORTDIR]
// Before failing it prints the monotonic clock in milliseconds, so that the
// test can tell how long the report took.
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <xtbasis/crashreport.h>
#include <xtbasis/threads.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

namespace {

class ChildReport : public TandorExceptionReport {
 public:
  void Start(const char* logDir) { Init(logDir, ""); }
};

void PrintClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::printf("crash-at %lld\n", static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
  std::fflush(stdout);
}

int* volatile g_nowhere = nullptr;
volatile int g_zero = 0;

__attribute__((noinline)) void WriteThrough(int* target, int value) {
  const char* label = "null write";
  PrintClock();
  *target = value + static_cast<int>(std::strlen(label));
}

__attribute__((noinline)) int Divide(int dividend, int divisor) {
  PrintClock();
  return dividend / divisor;
}

__attribute__((noinline)) void AbortHere(double ratio) {
  PrintClock();
  if (ratio > 0) std::abort();
}

volatile int g_deepest = 1 << 30;

__attribute__((noinline)) int Recurse(int depth) {
  volatile char pad[256];
  pad[0] = static_cast<char>(depth);
  if (depth == 0) PrintClock();
  if (depth >= g_deepest) return pad[0];
  return Recurse(depth + 1) + pad[0];
}

__attribute__((noinline)) void CorruptHeap() {
  char* volatile block = static_cast<char*>(std::malloc(64));
  volatile size_t length = 64 + 16;
  // Writes over the next chunk's header, then frees a block twice: the
  // allocator finds its heap broken and aborts.
  std::memset(block, 0x41, length);
  PrintClock();
  std::free(block);
  std::free(block);
}

// Points the frame pointer at unmapped memory, then faults: the report
// finds this frame's parameter and local through it and cannot read them.
__attribute__((noinline)) void ScrambledFrame(int marker) {
  volatile int kept = marker;
  PrintClock();
  asm volatile("movq $0x1000, %%rbp\n\tmovl $0, (%%rbp)" ::: "memory");
  (void)kept;
}

void NullWrite() { WriteThrough(g_nowhere, 42); }
void Overflow() { Recurse(0); }

// "<fault>-on-<thread>": the fault on a thread of that kind, the main
// thread waiting meanwhile: a plain std::thread, a CXTFIFOThread job or a
// ParallelFor worker.
void FaultOnThread(const std::string& mode) {
  const size_t on = mode.find("-on-");
  if (on == std::string::npos) return;
  const std::string fault = mode.substr(0, on), where = mode.substr(on + 4);
  void (*const run)() = fault == "null" ? NullWrite : fault == "overflow" ? Overflow : nullptr;
  if (run == nullptr) return;
  if (where == "thread") {
    std::thread(run).join();
  } else if (where == "fifo") {
    static CXTFIFOThread worker;
    static void (*job)() = run;
    if (!worker.Start()) return;
    worker.Schedule(nullptr, [](void*) -> unsigned int { job(); return 0; }, "fault");
    pause();
  } else if (where == "pool") {
    ParallelFor(0, 2, [run](int index, void*) { if (index == 1) run(); });
  }
}

void OwnHandler(int) {
  static const char text[] = "own handler\n";
  (void)!write(1, text, sizeof text - 1);
  _exit(3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  ChildReport report;
  report.Start(argv[2]);
  if (argc > 3) {
    const std::string logDir = std::string(argv[2]) + "/";
    if (XTInstallCrashReporter(argv[3], "CrashChild", "1.2.3", argc > 4 ? argv[4] : "", logDir.c_str()) != 0) {
      return 4;
    }
  }
  if (mode == "log-name") {
    std::printf("%s\n", TandorExceptionReport::LogFileName(0));
    return 0;
  }
  // The test plants names that depend on this process's id, then lets it go on.
  if (std::getenv("XTB_CRASH_CHILD_WAIT") != nullptr) {
    char go = 0;
    (void)!read(0, &go, 1);
  }
  if (mode == "null") WriteThrough(g_nowhere, 42);
  if (mode == "divide") return Divide(7, g_zero);
  if (mode == "abort") AbortHere(0.5);
  if (mode == "overflow") return Recurse(0);
  if (mode == "heap") CorruptHeap();
  FaultOnThread(mode);
  if (mode == "scrambled") ScrambledFrame(7);
  if (mode == "own-handler") {
    // The refusal is traced into the log folder.
    static CXTSysBase sysBase;
    sysBase.LogDir = (std::string(argv[2]) + "/").c_str();
    gp_XTSysBase = &sysBase;
    SetXTTraceLevel(XTTRACE_WARN);
    // What a plug-in might do after the program installed the report.
    struct sigaction action{};
    action.sa_handler = OwnHandler;
    sigaction(SIGSEGV, &action, nullptr);
    signal(SIGSEGV, OwnHandler);
    WriteThrough(g_nowhere, 1);
  }
  if (mode == "minidump") {
    XTMiniDump((std::string(argv[2]) + "/ondemand.dmp").c_str());
    return 0;
  }
  return 5;
}
