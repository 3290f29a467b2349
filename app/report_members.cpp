// The members of the report classes that a derived class calls to compose
// a report in the program itself (m_Text, printf, WriteStackDetails ...).
// The crash report proper is the helper's work; these write the same lines
// from a CONTEXT the program hands in, walking its own thread's stack.
#include <xtbasis/crashreport.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "context_registers.h"
#include "crash_launch.h"
#include "crash_text.h"
#include "format.h"
#include "os/computers.h"
#include "own_symbols.h"

CString TandorExceptionReportBase::m_Text;
HANDLE TandorExceptionReportBase::m_hProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

namespace {

// The frames from `context` on, at most `limit`. The unwinder walks this
// thread from here and gives each frame's stack pointer at its call (the
// frame address the report shows); the context's function is the first
// frame whose stack pointer is not below the context's, and it stands at
// the context's instruction. A context of no frame of this stack gives its
// own frame alone.
std::vector<xtb::StackFrame> FramesFrom(const CONTEXT& context, size_t limit) {
  const std::vector<xtb::StackFrame> walked = xtb::UnwindOwnStack(1024);
  const auto first = std::find_if(walked.begin(), walked.end(),
                                  [&context](const xtb::StackFrame& frame) { return frame.frameAddress >= context.Rsp; });
  std::vector<xtb::StackFrame> frames;
  xtb::StackFrame own;
  own.address = context.Rip;
  own.frameAddress = first != walked.end() ? first->frameAddress : context.Rsp;
  frames.push_back(own);
  if (first != walked.end()) {
    for (auto it = first + 1; it != walked.end() && frames.size() < limit; ++it) frames.push_back(*it);
  }
  return frames;
}

// The block of frames `firstShown` to `lastIndex` from `context`.
bool AppendStack(std::string& text, const CONTEXT& context, int firstShown, int lastIndex) {
  if (lastIndex < firstShown || lastIndex < 0) return true;
  std::vector<xtb::StackFrame> frames =
      FramesFrom(context, lastIndex >= INT_MAX - 1 ? SIZE_MAX : static_cast<size_t>(lastIndex) + 1);
  const size_t skipped = static_cast<size_t>(std::max(firstShown, 0));
  frames.erase(frames.begin(), frames.begin() + static_cast<ptrdiff_t>(std::min(skipped, frames.size())));
  std::string block;
  // The context's own frame stands at its instruction; the others at the
  // return addresses of their calls.
  if (!xtb::FormatOwnStack(frames, block, skipped == 0 ? 1 : 0)) return false;
  text += block;
  return true;
}

}  // namespace

int TandorExceptionReportBase::StackTrace(CString& text, CONTEXT* context) {
  if (context == nullptr) return 0;
  std::string stack;
  if (!AppendStack(stack, *context, 2, 11)) return 0;
  m_Text = stack.c_str();
  text = m_Text;
  return 1;
}

void TandorExceptionReportBase::InitExceptionReport() {
  std::string text;
  xtb::AppendReportHeader(text, xtb::os::ComputerName());
  m_Text = text.c_str();
}

void TandorExceptionReportBase::GenerateExceptionReport(EXCEPTION_POINTERS* info) {
  InitExceptionReport();
  if (info == nullptr || info->ExceptionRecord == nullptr || info->ContextRecord == nullptr) return;
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  greg_t registers[NGREG];
  xtb::RegistersOf(*info->ContextRecord, registers);
  xtb::StackFrame place;
  place.address = reinterpret_cast<uint64_t>(record.ExceptionAddress);
  xtb::DescribeOwnAddress(place);
  std::string text;
  xtb::AppendFaultAndRegisters(text, record.ExceptionCode, GetExceptionString(record.ExceptionCode), place.address,
                               place, registers);
  std::string stack;
  if (AppendStack(stack, *info->ContextRecord, 0, INT_MAX)) {
    text += stack;
    xtb::AppendReportText(text, "========================\r\n");
    xtb::AppendReportText(text, "Local Variables And Parameters\r\n");
    text += stack;
    xtb::AppendReportText(text, "\r\n");
  }
  m_Text += text.c_str();
}

LPSTR TandorExceptionReportBase::GetExceptionString(DWORD code) {
  // Like the original's one buffer for the process.
  static char name[512];
  constexpr DWORD kFatalAppExit = 0x40000015;
  const std::string text = xtb::ExceptionName(code, code == kFatalAppExit ? SIGABRT : 0);
  xtb::CopyField(name, sizeof name, text.c_str());
  return name;
}

BOOL TandorExceptionReportBase::GetLogicalAddress(PVOID address, PSTR module, DWORD length, DWORD& section,
                                                  DWORD& offset) {
  xtb::StackFrame place;
  place.address = reinterpret_cast<uint64_t>(address);
  if (address == nullptr || !xtb::DescribeOwnAddress(place)) return FALSE;
  if (module != nullptr && length > 0) xtb::CopyField(module, length, place.module.c_str());
  section = static_cast<DWORD>(place.section);
  offset = static_cast<DWORD>(place.sectionOffset);
  return TRUE;
}

void TandorExceptionReportBase::WriteStackDetails(CONTEXT* context, bool /*withVariables*/, int firstShown,
                                                  int lastIndex) {
  if (context == nullptr) return;
  std::string stack;
  if (AppendStack(stack, *context, firstShown, lastIndex)) m_Text += stack.c_str();
}

int TandorExceptionReportBase::AppendReportLine(const char* format, const XTFormatArg* args, int count) {
  std::string line;
  xtb::AppendFormatted(line, format != nullptr ? format : "", args, static_cast<size_t>(std::max(count, 0)));
  const bool cut = line.size() >= 1024;
  if (cut) line.resize(1023);
  m_Text += line.c_str();
  return cut ? 1024 : static_cast<int>(line.size());
}
