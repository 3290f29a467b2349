// The framework's TRACE on the trace log: one record per call.
#include <string>

#include <xtbasis/trace.h>
#include <xtbasis/win32/mfc_debug.h>

namespace xtb::win32 {

void TraceDebugRecord(const char* sourceFile, int line, const char* format, const XTFormatArg* args, int count) {
  if (format == nullptr) return;
  // Framework messages end with "\n" for the debugger's window; a record is
  // a line already.
  std::string message(format);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  XTTraceList(XTTRACE_INFO, 0, sourceFile, line, message.c_str(), args, count);
}

}  // namespace xtb::win32
