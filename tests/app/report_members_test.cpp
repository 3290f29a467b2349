// What a program's report class derived from TandorExceptionReport reaches:
// the protected members compose a report in the program itself from a
// context it captured.
#include <gtest/gtest.h>
#include <xtbasis/crashreport.h>

#include <regex>
#include <string>

#include "os/computers.h"

namespace {

class ProgramReport : public TandorExceptionReport {
 public:
  using TandorExceptionReportBase::GenerateExceptionReport;
  using TandorExceptionReportBase::GetExceptionString;
  using TandorExceptionReportBase::GetLogicalAddress;
  using TandorExceptionReportBase::InitExceptionReport;
  using TandorExceptionReportBase::m_Text;
  using TandorExceptionReportBase::printf;
  using TandorExceptionReportBase::WriteStackDetails;
};

std::string Text() { return ProgramReport::m_Text.GetString(); }

std::string Hex(uint64_t value) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(value));
  return hex;
}

volatile int g_sink = 0;  // keeps the probes' calls from becoming tail calls

TEST(ReportMembers, CapturedContextHoldsTheCallersRegisters) {
  CONTEXT context{};
  RtlCaptureContext(&context);
  EXPECT_EQ(context.ContextFlags, static_cast<DWORD>(CONTEXT_ALL));
  EXPECT_EQ(context.SegCs, 0x33);
  // The stack pointer is the caller's, close to this frame's own.
  const uint64_t here = reinterpret_cast<uint64_t>(__builtin_frame_address(0));
  EXPECT_LT(context.Rsp > here ? context.Rsp - here : here - context.Rsp, 64u * 1024);
  CONTEXT twice{};
  RtlCaptureContext(&twice);
  EXPECT_NE(context.Rip, twice.Rip);  // two call sites
  EXPECT_EQ(context.Rsp, twice.Rsp);
}

TEST(ReportMembers, StackDetailsStartAtTheContextsInstruction) {
  CONTEXT context{};
  ProgramReport::m_Text.Empty();
  // The context is taken in Innermost, which has returned by now: only
  // frames still on the stack can be walked, so walk from inside it.
  struct Probe {
    __attribute__((noinline)) static void Walk(CONTEXT& context) {
      RtlCaptureContext(&context);
      ProgramReport::WriteStackDetails(&context, false, 0, 1);
      g_sink = g_sink + 1;
    }
  };
  Probe::Walk(context);
  const std::string text = Text();
  EXPECT_EQ(text.rfind("\r\nCall stack:\r\n", 0), 0u) << text;
  // Frames 0 and 1: the function that took the context, at the captured
  // instruction, then this test.
  const std::regex frame("[0-9A-F]{16}  [0-9A-F]{16}  [^\r\n]*\r\n");
  const auto count = std::distance(std::sregex_iterator(text.begin(), text.end(), frame), std::sregex_iterator());
  EXPECT_EQ(count, 2) << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\r\n" + Hex(context.Rip) + "  [0-9A-F]{16}  [^\r\n]*Probe::Walk"
                                                 "[^\r\n]*\r\n[0-9A-F]{16}  [0-9A-F]{16}  [^\r\n]*_Test::TestBody\\(\\)\\+")))
      << text;
}

TEST(ReportMembers, StackTraceOfAContextSkipsItsFirstTwoFrames) {
  struct Probe {
    __attribute__((noinline)) static void Walk(CString& text) {
      CONTEXT context{};
      RtlCaptureContext(&context);
      EXPECT_EQ(TandorExceptionReportBase::StackTrace(text, &context), 1);
      g_sink = g_sink + 1;
    }
  };
  struct Caller {
    __attribute__((noinline)) static void Call(CString& text) {
      Probe::Walk(text);
      g_sink = g_sink + 1;
    }
  };
  CString text;
  Caller::Call(text);
  const std::string trace = text.GetString();
  // Walk and its caller are frames 0 and 1; the test's body comes first.
  EXPECT_EQ(trace.find("Probe::Walk"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("Caller::Call"), std::string::npos) << trace;
  EXPECT_TRUE(std::regex_search(trace, std::regex("SourceFile\r\n[0-9A-F]{16}  [0-9A-F]{16}  [^\r\n]*"
                                                  "StackTraceOfAContextSkipsItsFirstTwoFrames_Test::TestBody\\(\\)\\+")))
      << trace;
  EXPECT_EQ(Text(), trace);
  EXPECT_EQ(TandorExceptionReportBase::StackTrace(text, nullptr), 0);
}

TEST(ReportMembers, ExceptionReportOfAContextHasTheFaultRegistersAndStack) {
  CONTEXT context{};
  EXCEPTION_RECORD record{};
  record.ExceptionCode = 0xC0000005;
  struct Probe {
    __attribute__((noinline)) static void Report(CONTEXT& context, EXCEPTION_RECORD& record) {
      RtlCaptureContext(&context);
      record.ExceptionAddress = reinterpret_cast<PVOID>(context.Rip);
      EXCEPTION_POINTERS info{&record, &context};
      ProgramReport::GenerateExceptionReport(&info);
      g_sink = g_sink + 1;
    }
  };
  Probe::Report(context, record);
  const std::string text = Text();
  EXPECT_EQ(text.rfind("//=====================================================\r\n", 0), 0u) << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\r\n\\d{2}\\.\\d{2}\\.\\d{4} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\t" + xtb::os::ComputerName() + "\r\n"))) << text;
  EXPECT_NE(text.find("Exception code: C0000005 ACCESS_VIOLATION\r\n"), std::string::npos) << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("Fault address:  " + Hex(context.Rip) + " [0-9A-F]{2}:[0-9A-F]{16} .*test_app\r\n")))
      << text;
  EXPECT_NE(text.find("CS:RIP:0033:" + Hex(context.Rip) + "\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SS:RSP:002B:" + Hex(context.Rsp)), std::string::npos) << text;
  const size_t variables = text.find("========================\r\nLocal Variables And Parameters\r\n");
  ASSERT_NE(variables, std::string::npos) << text;
  EXPECT_NE(text.find("Probe::Report"), std::string::npos);
  EXPECT_NE(text.find("Probe::Report", variables), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(ReportMembers, ExceptionNamesLogicalAddressesAndPrintf) {
  EXPECT_STREQ(ProgramReport::GetExceptionString(0xC0000005), "ACCESS_VIOLATION");
  EXPECT_STREQ(ProgramReport::GetExceptionString(0xC00000FD), "STACK_OVERFLOW");
  EXPECT_STREQ(ProgramReport::GetExceptionString(0x40000015), "Aborted");
  EXPECT_STREQ(ProgramReport::GetExceptionString(0x12345678), "");

  char module[512];
  DWORD section = 0, offset = 0;
  ASSERT_TRUE(ProgramReport::GetLogicalAddress(reinterpret_cast<PVOID>(&Hex), module, sizeof module, section, offset));
  EXPECT_NE(std::string(module).find("test_app"), std::string::npos) << module;
  EXPECT_GT(section, 0u);
  char cut[5];
  ASSERT_TRUE(ProgramReport::GetLogicalAddress(reinterpret_cast<PVOID>(&Hex), cut, sizeof cut, section, offset));
  EXPECT_EQ(std::string(cut), std::string(module).substr(0, 4));
  EXPECT_FALSE(ProgramReport::GetLogicalAddress(reinterpret_cast<PVOID>(0x10), module, sizeof module, section, offset));
  EXPECT_FALSE(ProgramReport::GetLogicalAddress(nullptr, module, sizeof module, section, offset));

  ProgramReport::InitExceptionReport();
  const size_t head = Text().size();
  EXPECT_EQ(ProgramReport::printf("%s has %d\r\n", CString("Zahn 18"), 3), 15);
  EXPECT_EQ(Text().substr(head), "Zahn 18 has 3\r\n");
  const std::string longLine(2000, 'x');
  EXPECT_EQ(ProgramReport::printf("%s", longLine), 1024);
  EXPECT_EQ(Text().size(), head + 15 + 1023);
}

}  // namespace
