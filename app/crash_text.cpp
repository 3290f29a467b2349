#include "crash_text.h"

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "os/clocks.h"

namespace xtb {
namespace {

struct NamedCode {
  uint32_t code;
  const char* name;
};

constexpr NamedCode kExceptionNames[] = {
    {0xC0000005, "ACCESS_VIOLATION"},         {0x80000001, "GUARD_PAGE"},
    {0x80000002, "DATATYPE_MISALIGNMENT"},    {0x80000003, "BREAKPOINT"},
    {0x80000004, "SINGLE_STEP"},              {0xC0000006, "IN_PAGE_ERROR"},
    {0xC0000008, "INVALID_HANDLE"},           {0xC000001D, "ILLEGAL_INSTRUCTION"},
    {0xC0000025, "NONCONTINUABLE_EXCEPTION"}, {0xC0000026, "INVALID_DISPOSITION"},
    {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},    {0xC000008D, "FLT_DENORMAL_OPERAND"},
    {0xC000008E, "FLT_DIVIDE_BY_ZERO"},       {0xC000008F, "FLT_INEXACT_RESULT"},
    {0xC0000090, "FLT_INVALID_OPERATION"},    {0xC0000091, "FLT_OVERFLOW"},
    {0xC0000092, "FLT_STACK_CHECK"},          {0xC0000093, "FLT_UNDERFLOW"},
    {0xC0000094, "INT_DIVIDE_BY_ZERO"},       {0xC0000095, "INT_OVERFLOW"},
    {0xC0000096, "PRIV_INSTRUCTION"},         {0xC00000FD, "STACK_OVERFLOW"},
};

// An abort has no code of its own among the exceptions; it is reported as
// the fatal application exit, named by the system's text for the signal.
constexpr uint32_t kFatalAppExit = 0x40000015;

uint32_t Low32(uint64_t value) { return static_cast<uint32_t>(value); }

// What fits in one printf-formed line (its 1024-byte buffer less the end).
constexpr size_t kLineMax = 1023;

// printf's "%0*llX"; width 0 gives as many digits as the value needs.
void AppendHex(std::string& text, uint64_t value, int width) {
  char digits[16];
  int first = 16;
  do {
    digits[--first] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  if (width > 16 - first) text.append(static_cast<size_t>(width - (16 - first)), '0');
  text.append(digits + first, static_cast<size_t>(16 - first));
}

// A piece of a line appended from `start` on, cut as printf's buffer cuts it.
void CutToLine(std::string& text, size_t start) {
  if (text.size() - start > kLineMax) text.resize(start + kLineMax);
}

}  // namespace

int AppendReportText(std::string& text, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (length < 0) return 0;
  const bool cut = length >= static_cast<int>(sizeof line);
  text.append(line, cut ? sizeof line - 1 : static_cast<size_t>(length));
  return cut ? 1024 : length;
}

uint32_t ExceptionCodeOf(int signo, int signalCode, uint64_t faultAddress, uint64_t stackPointer) {
  switch (signo) {
    case SIGSEGV: {
      // A push or call below the stack's guard gap faults just under the
      // stack pointer.
      const uint64_t distance =
          faultAddress > stackPointer ? faultAddress - stackPointer : stackPointer - faultAddress;
      return distance < 64 * 1024 ? 0xC00000FD : 0xC0000005;
    }
    case SIGBUS:
      return signalCode == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGFPE:
      switch (signalCode) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTSUB: return 0xC000008C;
        default: return 0xC0000090;
      }
    case SIGILL:
      return signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG ? 0xC0000096 : 0xC000001D;
    case SIGTRAP:
      return signalCode == TRAP_TRACE ? 0x80000004 : 0x80000003;
    default:
      return kFatalAppExit;
  }
}

std::string ExceptionName(uint32_t code, int signo) {
  for (const NamedCode& named : kExceptionNames) {
    if (named.code == code) return named.name;
  }
  const char* text = signo > 0 ? strsignal(signo) : nullptr;
  return text != nullptr ? text : std::string();
}

void AppendReportHeader(std::string& text, const std::string& computerName) {
  text.clear();
  AppendReportText(text, "//=====================================================\r\n");
  const os::WallTime now = os::WallClock();
  std::tm parts{};
  os::UtcCalendar(now.seconds, parts);
  AppendReportText(text, "%02d.%02d.%04d %02d:%02d:%02d.%03d\t%s\r\n", parts.tm_mday, parts.tm_mon + 1,
                   parts.tm_year + 1900, parts.tm_hour, parts.tm_min, parts.tm_sec,
                   static_cast<int>(now.nanoseconds / 1000000), computerName.c_str());
}

void AppendFaultAndRegisters(std::string& text, uint32_t code, const std::string& name, uint64_t faultAddress,
                             const StackFrame& faultPlace, const greg_t* r) {
  AppendReportText(text, "Exception code: %08X %s\r\n", code, name.c_str());
  AppendReportText(text, "Fault address:  %016llX %02X:%016llX %s\r\n", static_cast<unsigned long long>(faultAddress),
                   static_cast<unsigned>(faultPlace.section),
                   static_cast<unsigned long long>(faultPlace.sectionOffset), faultPlace.module.c_str());
  auto reg = [r](int index) { return static_cast<unsigned long long>(r[index]); };
  AppendReportText(text, "\r\nRegisters:\r\n");
  AppendReportText(text, "RAX:%016llX\r\nRBX:%016llX\r\nRCX:%016llX\r\nRDX:%016llX\r\nRSI:%016llX\r\nRDI:%016llX\r\n",
                   reg(REG_RAX), reg(REG_RBX), reg(REG_RCX), reg(REG_RDX), reg(REG_RSI), reg(REG_RDI));
  AppendReportText(text, "R8:%016llX\r\nR9:%016llX\r\nR10:%016llX\r\nR11:%016llX\r\n", reg(REG_R8), reg(REG_R9),
                   reg(REG_R10), reg(REG_R11));
  AppendReportText(text, "R12:%016llX\r\nR13:%016llX\r\nR14:%016llX\r\nR15:%016llX\r\n", reg(REG_R12),
                   reg(REG_R13), reg(REG_R14), reg(REG_R15));
  // CSGSFS packs cs, gs and fs (16 bits each); the data segments are flat
  // and fixed on x86-64.
  const uint64_t segments = static_cast<uint64_t>(r[REG_CSGSFS]);
  const unsigned cs = segments & 0xFFFF, gs = (segments >> 16) & 0xFFFF, fs = (segments >> 32) & 0xFFFF;
  const unsigned ss = 0x2B, ds = 0, es = 0;
  AppendReportText(text, "CS:RIP:%04X:%016llX\r\n", cs, reg(REG_RIP));
  AppendReportText(text, "SS:RSP:%04X:%016llX  RBP:%016llX\r\n", ss, reg(REG_RSP), reg(REG_RBP));
  AppendReportText(text, "DS:%04X  ES:%04X  FS:%04X  GS:%04X\r\n", ds, es, fs, gs);
  AppendReportText(text, "Flags:%08X\r\n", Low32(static_cast<uint64_t>(r[REG_EFL])));
}

void AppendStackHeader(std::string& text) {
  AppendReportText(text, "\r\nCall stack:\r\n");
  AppendReportText(text, "Address           Frame             Function            SourceFile\r\n");
}

// Stack traces are taken often: the frame lines are put together without
// printf, with the same text and the same cut as AppendReportText.
void AppendFrameAddresses(std::string& text, const StackFrame& frame) {
  AppendHex(text, frame.address, 16);
  text += "  ";
  AppendHex(text, frame.frameAddress, 16);
  text += "  ";
}

void AppendFrameNames(std::string& text, const StackFrame& frame) {
  size_t start = text.size();
  if (!frame.function.empty()) {
    text.append(frame.function, 0, kLineMax);
    text += '+';
    AppendHex(text, frame.displacement, 0);
  } else {
    AppendHex(text, static_cast<unsigned>(frame.section), 4);
    text += ':';
    AppendHex(text, frame.sectionOffset, 16);
    text += ' ';
    text.append(frame.module, 0, kLineMax);
  }
  CutToLine(text, start);
  if (!frame.sourceFile.empty()) {
    start = text.size();
    text += "  ";
    text.append(frame.sourceFile, 0, kLineMax);
    text += " line ";
    text += std::to_string(frame.line);
    CutToLine(text, start);
  }
}

void AppendStackBlock(std::string& text, const std::vector<StackFrame>& frames, bool withVariables) {
  text.reserve(text.size() + 80 + frames.size() * 160);
  AppendStackHeader(text);
  for (const StackFrame& frame : frames) {
    AppendFrameAddresses(text, frame);
    AppendFrameNames(text, frame);
    text += "\r\n";
    if (withVariables) {
      for (const std::string& variable : frame.variables) {
        if (variable.rfind("punting on symbol ", 0) == 0) {
          AppendReportText(text, "%s\r\n", variable.c_str());
        } else {
          AppendReportText(text, "\t%s\r\n", variable.c_str());
        }
      }
      AppendReportText(text, "\r\n");
    }
  }
}

}  // namespace xtb
