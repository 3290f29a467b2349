// Stack traces of the running program, dumps on demand and the assertion.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <regex>
#include <xtbasis/crashreport.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "crash_child_run.h"
#include "tracesettings.h"

namespace {

namespace fs = std::filesystem;

__attribute__((noinline)) int TracedCaller(CString& text) {
  const int result = XTStackTrace(text);
  asm volatile("" ::: "memory");  // no tail call: this frame stays on the stack
  return result;
}

__attribute__((noinline)) int DeepCaller(int depth, CString& text) {
  if (depth == 0) return XTStackTrace(text);
  const int result = DeepCaller(depth - 1, text);
  asm volatile("" ::: "memory");  // keeps the recursion a real call
  return result;
}

size_t FrameLines(const std::string& text) {
  const std::regex frame("[0-9A-F]{16}  [0-9A-F]{16}  ");
  return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), frame), {}));
}

TEST(StackTraceTest, NamesItsCallerFirstAndShowsAtMostTenFrames) {
  CString text;
  ASSERT_EQ(TracedCaller(text), 1);
  const std::string trace = text.GetString();
  EXPECT_EQ(trace.rfind("\r\nCall stack:\r\n", 0), 0u) << trace;
  const size_t first = trace.find("\r\n", trace.find("SourceFile\r\n")) + 2;
  const std::string firstFrame = trace.substr(first, trace.find("\r\n", first) - first);
  EXPECT_TRUE(std::regex_search(firstFrame, std::regex("TracedCaller\\(CString&\\)[^+\\r]*\\+[0-9A-F]+  .*stacktrace_assert_test\\.cpp line \\d+")))
      << trace;

  // The second trace reuses the symbols read by the first.
  ASSERT_EQ(DeepCaller(20, text), 1);
  EXPECT_EQ(FrameLines(text.GetString()), 10u) << text.GetString();
  EXPECT_NE(std::string(text.GetString()).find("DeepCaller"), std::string::npos);
}

int TraceInto(void* text) { return XTStackTrace(*static_cast<CString*>(text)); }

// The session read the modules at the first trace; a library loaded later
// is found when one of its addresses turns up, and a child of fork() reads
// its own process.
TEST(StackTraceTest, LibraryLoadedAfterTheFirstTraceAndForkChildAreNamed) {
  CString text;
  ASSERT_EQ(TracedCaller(text), 1);
  void* plugin = dlopen(XTB_TRACE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(plugin, nullptr) << dlerror();
  auto call = reinterpret_cast<int (*)(int (*)(void*), void*)>(dlsym(plugin, "TracePluginCall"));
  ASSERT_NE(call, nullptr);
  ASSERT_EQ(call(TraceInto, &text), 1);
  const std::string trace = text.GetString();
  EXPECT_TRUE(std::regex_search(trace, std::regex("TracePluginCall\\+[0-9A-F]+  .*trace_plugin\\.cpp line \\d+")))
      << trace;

  const pid_t child = fork();
  if (child == 0) {
    CString own;
    const int result = call(TraceInto, &own);
    const std::string ownTrace = own.GetString();
    _exit(result == 1 && ownTrace.find("TracePluginCall") != std::string::npos &&
                  ownTrace.find("stacktrace_assert_test.cpp line") != std::string::npos
              ? 0
              : 1);
  }
  ASSERT_GT(child, 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  dlclose(plugin);
}

class TestSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return "SOFTWARE\\XTCrashTest"; }
};

class AssertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XTBASIS_REGISTRY_DIR", (m_scratch.path() / "hives").c_str(), 1);
    setenv("XTBASIS_CRASH_HELPER", XTB_CRASH_HELPER, 1);
    m_sysBase.LogDir = CString((m_scratch.path().string() + "/").c_str());
    // The trace file and settings are formed once per process: again for
    // each test's folder.
    xtb::ProcessTraceSettings().Reset();
    gp_XTSysBase = &m_sysBase;
    SetXTTraceLevel(2);
  }
  void TearDown() override {
    gp_XTSysBase = nullptr;
    xtb::ProcessTraceSettings().Reset();
    unsetenv("XTBASIS_MSGBOX_ANSWER");
    unsetenv("XTBASIS_SAVEFILE_ANSWER");
    unsetenv("XTBASIS_REGISTRY_DIR");
  }
  void Answer(const char* box, const fs::path& file) {
    setenv("XTBASIS_MSGBOX_ANSWER", box, 1);
    setenv("XTBASIS_SAVEFILE_ANSWER", file.c_str(), 1);
  }
  std::string Trace() const { return ReadText(m_scratch.path() / "r9trace.log"); }

  ScratchFolder m_scratch;
  TestSysBase m_sysBase;
};

TEST_F(AssertTest, HoldingConditionDoesNothing) {
  const fs::path dump = m_scratch.path() / "never.dmp";
  Answer("YES", dump);
  XTAssert(1, "module.cpp", 5, "f", "cause");
  EXPECT_FALSE(fs::exists(dump));
  EXPECT_EQ(Trace(), "");
}

TEST_F(AssertTest, YesWritesTheDumpWhereTheDialogSays) {
  const fs::path dump = m_scratch.path() / "assert.dmp";
  Answer("YES", dump);
  XTAssert(0, "mod%dule.cpp", 5, "f%s", nullptr);
  EXPECT_TRUE(IsElfFile(dump));
  const std::string trace = Trace();
  EXPECT_EQ(trace.rfind("WARN \t", 0), 0u) << trace;
  EXPECT_NE(trace.find("\t0\txttrace:221\t"), std::string::npos) << trace;
  // The record's message line: inner line breaks become TAB CR LF.
  EXPECT_NE(trace.find("\tXT Debug Assertion!\t\r\n\t\r\nDatei: 'mod%dule.cpp'\t\r\nFunktion: f%s\t\r\nZeile: 5\r\n"),
            std::string::npos)
      << trace;
  EXPECT_EQ(trace.find("Ursache"), std::string::npos);
}

TEST_F(AssertTest, NoAndCancelWriteNoDump) {
  const fs::path dump = m_scratch.path() / "declined.dmp";
  for (const char* answer : {"NO", "CANCEL"}) {
    Answer(answer, dump);
    XTAssert(0, "module.cpp", 7, "g", "zu 100% falsch");
    EXPECT_FALSE(fs::exists(dump)) << answer;
  }
  EXPECT_NE(Trace().find("\r\nUrsache: zu 100% falsch\r\n"), std::string::npos) << Trace();
}

TEST_F(AssertTest, DumpIntoAnUncreatableFileIsSkipped) {
  const fs::path dump = m_scratch.path() / "no-such-folder" / "x.dmp";
  Answer("YES", dump);
  XTAssert(0, "module.cpp", 9, "h", nullptr);
  EXPECT_FALSE(fs::exists(dump));
}

}  // namespace

namespace {

// The reporter's failed install is traced with its reason; nothing installed.
TEST_F(AssertTest, FailedReporterInstallIsTraced) {
  SetXTTraceLevel(3);
  const fs::path blocked = m_scratch.path() / "file";
  std::ofstream(blocked) << "x";
  EXPECT_NE(XTInstallCrashReporter((blocked / "reports").c_str(), "App", "1.0", "", ""), 0);
  const std::string trace = Trace();
  EXPECT_NE(trace.find("\tcrInstall: 1\r\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\tcrGetLastErrorMsg: "), std::string::npos) << trace;

  // A link in place of the report folder is refused and named.
  fs::create_directory(m_scratch.path() / "elsewhere");
  fs::create_directory_symlink(m_scratch.path() / "elsewhere", m_scratch.path() / "reports");
  EXPECT_NE(XTInstallCrashReporter((m_scratch.path() / "reports").c_str(), "App", "1.0", "", ""), 0);
  EXPECT_NE(Trace().find("\tcrGetLastErrorMsg: the name is a symbolic link\r\n"), std::string::npos) << Trace();
}

}  // namespace
