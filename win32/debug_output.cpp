// OutputDebugString into the trace log.
#include <xtbasis/win32/debug_output.h>

#include <string_view>

#include <xtbasis/trace.h>

void OutputDebugStringA(LPCSTR text) {
  if (text == nullptr || xtb::TraceFilteredOut(XTTRACE_INFO)) return;
  std::string_view line(text);
  if (line.ends_with("\r\n")) {
    line.remove_suffix(2);
  } else if (line.ends_with('\n')) {
    line.remove_suffix(1);
  }
  const std::string record(line);
  XTTrace(XTTRACE_INFO, 0, "OutputDebugString", 0, "%s", record.c_str());
}
