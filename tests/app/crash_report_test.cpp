// Programs that crash on purpose, and what the report left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "crash_child_run.h"
#include "os/computers.h"

namespace {

namespace fs = std::filesystem;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XTB_UNDER_ASAN 1
#endif
#endif

class CrashReportTest : public ::testing::Test {
 protected:
  ChildRun Crash(const std::string& mode, int expectedSignal) {
    ChildRun run = RunChild({mode, m_scratch.path().string()});
#ifdef XTB_UNDER_ASAN
    // The sanitizer's handler was in place before the report's; it runs
    // after the report and ends the program with its own exit code.
    EXPECT_TRUE(WIFSIGNALED(run.status) || WEXITSTATUS(run.status) != 0) << run.output;
    (void)expectedSignal;
#else
    EXPECT_TRUE(WIFSIGNALED(run.status)) << run.output;
    if (WIFSIGNALED(run.status)) {
      EXPECT_EQ(WTERMSIG(run.status), expectedSignal) << run.output;
    }
#endif
    // The report is handed to a helper and written before the program ends.
    EXPECT_GE(run.reportMs, 0) << run.output;
    EXPECT_LT(run.reportMs, 20000) << run.output;
    uintmax_t dumpBytes = 0;
    fs::file_time_type newest = fs::file_time_type::min();
    for (const fs::directory_entry& entry : fs::directory_iterator(m_scratch.path())) {
      if (entry.path().extension() == ".DMP" && entry.last_write_time() >= newest) {
        newest = entry.last_write_time();
        dumpBytes = entry.file_size();
      }
    }
    std::printf("[ report  ] %s: %lld ms from the signal to the end of the program, dump of %ju KiB\n", mode.c_str(),
                run.reportMs, dumpBytes / 1024);
    m_report = ReadText(m_scratch.path() / "crash_child");
    return run;
  }
  // The call-stack line of `function`, before the variables block.
  std::string FrameLine(const std::string& function) const {
    const std::regex line("[0-9A-F]{16}  [0-9A-F]{16}  [^\\r\\n]*" + function + "[^\\r\\n]*\\r\\n");
    std::smatch match;
    return std::regex_search(m_report, match, line) ? match.str() : std::string();
  }

  ScratchFolder m_scratch;
  std::string m_report;
};

TEST_F(CrashReportTest, NullWriteIsReportedWithRegistersSourceLineAndParameters) {
  Crash("null", SIGSEGV);
  ASSERT_FALSE(m_report.empty());
  EXPECT_EQ(m_report.rfind("//=====================================================\r\n", 0), 0u);
  EXPECT_TRUE(std::regex_search(m_report, std::regex("\\r\\n\\d{2}\\.\\d{2}\\.\\d{4} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\t" +
                                                     xtb::os::ComputerName() + "\\r\\n")));
  EXPECT_NE(m_report.find("Exception code: C0000005 ACCESS_VIOLATION\r\n"), std::string::npos);
  EXPECT_TRUE(std::regex_search(m_report, std::regex("Fault address:  [0-9A-F]{16} [0-9A-F]{2}:[0-9A-F]{16} .*crash_child\\r\\n")));
  for (const char* reg : {"\r\nRegisters:\r\nRAX:", "\r\nRDI:", "\r\nCS:RIP:0033:", "\r\nSS:RSP:", "  RBP:", "\r\nFlags:"}) {
    EXPECT_NE(m_report.find(reg), std::string::npos) << reg;
  }
  const std::string frame = FrameLine("WriteThrough");
  EXPECT_TRUE(std::regex_search(frame, std::regex("WriteThrough\\(int\\*, int\\)\\+[0-9A-F]+  .*crash_child\\.cpp line \\d+")))
      << m_report;
  EXPECT_NE(FrameLine("main"), "");
  EXPECT_NE(m_report.find("========================\r\nLocal Variables And Parameters\r\n"), std::string::npos);
  // 42 is 0x2A; the pointer is null; the local is shown as its text.
  EXPECT_NE(m_report.find("\tParameter 'value' int = 2A\r\n"), std::string::npos) << m_report;
  EXPECT_NE(m_report.find("\tParameter 'target' int * = 0\r\n"), std::string::npos) << m_report;
  EXPECT_NE(m_report.find("\tLocal 'label' const char * = \"null write\""), std::string::npos) << m_report;
  const fs::path dump = m_scratch.path() / "crash_child00000.DMP";
  ASSERT_TRUE(fs::exists(dump));
  // The crashed program's memory, as a core the kernel writes: its account's alone.
  EXPECT_EQ(fs::status(dump).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(CrashReportTest, DivisionByZeroAbortAndStackOverflowHaveTheirCodes) {
  Crash("divide", SIGFPE);
  EXPECT_NE(m_report.find("Exception code: C0000094 INT_DIVIDE_BY_ZERO\r\n"), std::string::npos) << m_report;
  EXPECT_NE(FrameLine("Divide"), "") << m_report;
  EXPECT_NE(m_report.find("\tParameter 'divisor' int = 0\r\n"), std::string::npos) << m_report;

  Crash("abort", SIGABRT);
  EXPECT_NE(m_report.find("Exception code: 40000015 Aborted\r\n"), std::string::npos) << m_report;
  EXPECT_NE(FrameLine("AbortHere"), "") << m_report;
  EXPECT_NE(m_report.find("\tParameter 'ratio' double = 0.500000\r\n"), std::string::npos) << m_report;
  // Each crash appends to the log and takes the next dump number.
  EXPECT_TRUE(fs::exists(m_scratch.path() / "crash_child00001.DMP"));

  Crash("overflow", SIGSEGV);
  EXPECT_NE(m_report.find("Exception code: C00000FD STACK_OVERFLOW\r\n"), std::string::npos) << m_report;
  EXPECT_NE(FrameLine("Recurse"), "");
}

// Every thread has a stack of its own for the handler: an overflow or a
// null write on a plain std::thread, a CXTFIFOThread job or a ParallelFor
// worker leaves the report with the faulting frame and a dump.
TEST_F(CrashReportTest, FaultsOnEveryKindOfThreadAreReported) {
  int dumps = 0;
  for (const std::string where : {"thread", "fifo", "pool"}) {
    for (const std::string fault : {"null", "overflow"}) {
#ifdef XTB_UNDER_ASAN
      if (fault == "overflow") continue;  // the sanitizer reports an overflow itself
#endif
      SCOPED_TRACE(fault + " on " + where);
      Crash(fault + "-on-" + where, SIGSEGV);
      const size_t last = m_report.rfind("//=====");
      ASSERT_NE(last, std::string::npos) << "no report";
      m_report.erase(0, last);  // this crash's report, not the ones before it
      const std::string code = fault == "null" ? "C0000005 ACCESS_VIOLATION" : "C00000FD STACK_OVERFLOW";
      EXPECT_NE(m_report.find("Exception code: " + code + "\r\n"), std::string::npos) << m_report;
      EXPECT_NE(FrameLine(fault == "null" ? "WriteThrough" : "Recurse"), "") << m_report;
      char dump[32];
      std::snprintf(dump, sizeof dump, "crash_child%05d.DMP", dumps++);
      EXPECT_TRUE(IsElfFile(m_scratch.path() / dump)) << dump;
    }
  }
}

TEST_F(CrashReportTest, CorruptedHeapStillGetsReportAndDump) {
#ifdef XTB_UNDER_ASAN
  GTEST_SKIP() << "the address sanitizer ends the program itself at the overflowing write";
#endif
  Crash("heap", SIGABRT);
  EXPECT_NE(FrameLine("CorruptHeap"), "") << m_report;
  EXPECT_TRUE(fs::exists(m_scratch.path() / "crash_child00000.DMP"));
}

// Reading a variable faults (its frame points at unmapped memory): the
// report says so in place of the value and is finished all the same.
TEST_F(CrashReportTest, UnreadableVariablesArePuntedAndTheReportEnds) {
  Crash("scrambled", SIGSEGV);
  EXPECT_NE(FrameLine("ScrambledFrame"), "") << m_report;
  const size_t variables = m_report.find("Local Variables And Parameters\r\n");
  ASSERT_NE(variables, std::string::npos) << m_report;
  const std::string tail = m_report.substr(variables);
  EXPECT_TRUE(std::regex_search(tail, std::regex("ScrambledFrame\\(int\\)\\+[0-9A-F]+  .*\\r\\n"
                                                 "punting on symbol marker\\r\\n"
                                                 "punting on symbol kept\\r\\n\\r\\n")))
      << m_report;
  // The walk cannot go past that frame: the report's end follows it.
  const std::string end = "punting on symbol kept\r\n\r\n\r\n";
  EXPECT_EQ(m_report.compare(m_report.size() - std::min(end.size(), m_report.size()), end.size(), end), 0)
      << m_report;
}

TEST_F(CrashReportTest, LaterHandlerForSegvIsRefusedAndTheRefusalTracedOnce) {
  setenv("XTBASIS_REGISTRY_DIR", (m_scratch.path() / "hives").c_str(), 1);
  const ChildRun run = Crash("own-handler", SIGSEGV);
  unsetenv("XTBASIS_REGISTRY_DIR");
  EXPECT_EQ(run.output.find("own handler"), std::string::npos) << run.output;
  EXPECT_NE(m_report.find("ACCESS_VIOLATION"), std::string::npos);
  // sigaction() and signal() were both refused; the trace tells it once.
  const std::string trace = ReadText(m_scratch.path() / "r9trace.log");
  const std::string refusal = "handler for SIGSEGV (11) refused: the crash report keeps its own for this signal";
  const size_t first = trace.find(refusal);
  EXPECT_NE(first, std::string::npos) << trace;
  EXPECT_EQ(trace.find(refusal, first + 1), std::string::npos) << trace;
  EXPECT_EQ(trace.rfind("WARN \t", 0), 0u) << trace;
}

// What a shell command prints on standard output and error.
std::string OutputOf(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

// What gdb prints for `commands` on `program` with `dump`.
std::string RunGdb(const char* program, const fs::path& dump, const std::string& commands) {
  return OutputOf("gdb -nx -batch " + commands + " " + program + " " + dump.string());
}

bool HaveGdb() { return system("gdb --version >/dev/null 2>&1") == 0; }

// A program built against the shared library crashes in a CXTFIFOThread
// job: the debugger loads every shared library from the dump, shows each
// thread where it stood, and walks the crashing one through the library's
// worker into the C library's thread start.
TEST_F(CrashReportTest, DumpOpensInGdbWithItsLibrariesAndEveryThread) {
  if (!HaveGdb()) GTEST_SKIP() << "gdb is not installed";
  const ChildRun run = RunChild({"null-on-fifo", m_scratch.path().string()}, {}, XTB_CRASH_CHILD_SHARED);
  ASSERT_TRUE(WIFSIGNALED(run.status) || WEXITSTATUS(run.status) != 0) << run.output;
  const fs::path dump = m_scratch.path() / "crash_child_shared00000.DMP";
  ASSERT_TRUE(fs::exists(dump)) << run.output;
  const std::string output = RunGdb(XTB_CRASH_CHILD_SHARED, dump,
                                    "-ex 'info sharedlibrary' -ex 'info threads' -ex 'thread apply all bt' "
                                    "-ex 'p $_siginfo.si_signo'");
  EXPECT_NE(output.find("Program terminated with signal SIGSEGV"), std::string::npos) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("Yes .*/libxtbasis\\.so\\.1\n"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("Yes .*/libc\\.so\\.6\n"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("\\* 1 +LWP \\d+ .*WriteThrough"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("\n  2 +LWP \\d+ .*pause"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("#0 .*WriteThrough .*value=42.*crash_child\\.cpp:\\d+"))) << output;
  EXPECT_NE(output.find("CXTFIFOThread::Worker::Loop"), std::string::npos) << output;
  EXPECT_NE(output.find("start_thread"), std::string::npos) << output;
  EXPECT_NE(output.find("\n$1 = 11\n"), std::string::npos) << output;
}

// lldb reads the same dump: both threads, the crashing one walked through
// the library into the C library, every module listed.
TEST_F(CrashReportTest, DumpOpensInLldbWithItsLibrariesAndEveryThread) {
  if (system("lldb --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "lldb is not installed";
  const ChildRun run = RunChild({"null-on-fifo", m_scratch.path().string()}, {}, XTB_CRASH_CHILD_SHARED);
  const fs::path dump = m_scratch.path() / "crash_child_shared00000.DMP";
  ASSERT_TRUE(fs::exists(dump)) << run.output;
  const std::string output =
      OutputOf("lldb -b -c " + dump.string() + " " + XTB_CRASH_CHILD_SHARED + " -o 'bt all' -o 'image list'");
  EXPECT_TRUE(std::regex_search(output, std::regex("thread #1.*stop reason = signal SIGSEGV"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("frame #0: .*WriteThrough.*value=42"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("frame #\\d+: .*libxtbasis\\.so\\.1`.*CXTFIFOThread"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("frame #\\d+: .*libc\\.so\\.6`start_thread"))) << output;
  EXPECT_NE(output.find("thread #2"), std::string::npos) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("\\] .* 0x[0-9a-f]+ .*/libxtbasis\\.so\\.1"))) << output;
}

// The dump on demand shows the calling thread inside XTMiniDump, and its
// caller below.
TEST_F(CrashReportTest, DumpOnDemandShowsItsCallerInGdb) {
  if (!HaveGdb()) GTEST_SKIP() << "gdb is not installed";
  const ChildRun run = RunChild({"minidump", m_scratch.path().string()}, {}, XTB_CRASH_CHILD_SHARED);
  ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
  const std::string output = RunGdb(XTB_CRASH_CHILD_SHARED, m_scratch.path() / "ondemand.dmp", "-ex bt");
  EXPECT_TRUE(std::regex_search(output, std::regex("#0 [^\\n]*(XTMiniDump|app/crashreport\\.cpp)"))) << output;
  EXPECT_TRUE(std::regex_search(output, std::regex("\\n#\\d+ +0x[0-9a-f]+ in main \\(.*crash_child\\.cpp:\\d+"))) << output;
}

TEST_F(CrashReportTest, DumpOnDemandLeavesTheProgramRunning) {
  const ChildRun run = RunChild({"minidump", m_scratch.path().string()});
  ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
  EXPECT_EQ(WEXITSTATUS(run.status), 0);
  const fs::path dump = m_scratch.path() / "ondemand.dmp";
  ASSERT_GT(fs::file_size(dump), 64u);
  EXPECT_TRUE(IsElfFile(dump));
  EXPECT_EQ(fs::status(dump).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(m_scratch.path() / "crash_child"));
}

}  // namespace
