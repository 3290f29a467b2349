// XTTrace, XTTraceF and SetXTTraceLevel.
#include <cstdarg>
#include <string>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "os/process.h"
#include "tracefile.h"
#include "tracerecord.h"
#include "tracesettings.h"

namespace {

// Everything after the level test: filter, record, box. `traceFile` null
// means the default trace file; `formMessage(std::string&)` writes the
// message text.
template <typename FormMessage>
void WriteRecord(CXTSysBase& sysBase, DWORD lastError, const char* traceFile, int level, int progId,
                 const char* sourceFile, int line, const FormMessage& formMessage) try {
  xtb::TraceSettings& settings = xtb::ProcessTraceSettings();
  settings.EnsureRead(sysBase);
  if (level > settings.LevelGate() || !settings.Filter().Passes(progId)) return;

  xtb::TraceHeader fields{level, {}, xtb::os::CachedProcessId(), xtb::os::CachedThreadId(), progId, sourceFile, line,
                          lastError};
  GetLocalTime(&fields.time);
  const std::string header = xtb::FormatTraceHeader(fields);
  std::string message;
  formMessage(message);
  message = xtb::MessageLine(std::move(message));

  xtb::AppendTraceRecord(traceFile ? std::string_view(traceFile) : settings.TraceFile(),
                         xtb::FileForm(header, message));
  // Told in a record of its own once the first record went through another lock.
  if (const std::string refusal = xtb::TakeLockTableRefusal(); !refusal.empty())
    XTTrace(XTTRACE_WARN, XTTRACE_PROGID_XTBASIS, "XTTrace", __LINE__, "%s", refusal.c_str());
  if (level <= settings.MessageBoxLevel())
    GetXTPresenter().ShowMessageBox(nullptr, CString(header + message), "XTTrace", MB_OK | MB_TOPMOST);
  SetLastError(lastError);
} catch (...) {
  SetLastError(lastError);  // a record that cannot be formed is dropped
}

// The cheap test that comes first: no system base, or a level the settings
// already read do not let through.
inline bool FilteredOut(int level) {
  return !gp_XTSysBase || level > xtb::ProcessTraceSettings().LevelGate();
}

}  // namespace

void XTTrace(int level, int progId, const char* sourceFile, int line, const char* format, ...) {
  const DWORD lastError = GetLastError();
  if (FilteredOut(level)) return;
  va_list args;
  va_start(args, format);
  WriteRecord(*gp_XTSysBase, lastError, nullptr, level, progId, sourceFile, line,
              [&](std::string& out) { xtb::FormatTraceText(out, format, args); });
  va_end(args);
}

void XTTraceF(const char* traceFile, int level, int progId, const char* sourceFile, int line,
              const char* format, ...) {
  const DWORD lastError = GetLastError();
  if (FilteredOut(level)) return;
  va_list args;
  va_start(args, format);
  WriteRecord(*gp_XTSysBase, lastError, traceFile, level, progId, sourceFile, line,
              [&](std::string& out) { xtb::FormatTraceText(out, format, args); });
  va_end(args);
}

void XTTraceList(int level, int progId, const char* sourceFile, int line, const char* format,
                 const XTFormatArg* args, int count) {
  XTTraceFList(nullptr, level, progId, sourceFile, line, format, args, count);
}

void XTTraceFList(const char* traceFile, int level, int progId, const char* sourceFile, int line,
                  const char* format, const XTFormatArg* args, int count) {
  const DWORD lastError = GetLastError();
  if (FilteredOut(level)) return;
  WriteRecord(*gp_XTSysBase, lastError, traceFile, level, progId, sourceFile, line,
              [&](std::string& out) { xtb::FormatTraceText(out, format, args, count); });
}

int SetXTTraceLevel(int level) {
  if (!gp_XTSysBase) return 0;
  xtb::TraceSettings& settings = xtb::ProcessTraceSettings();
  settings.EnsureRead(*gp_XTSysBase);
  return settings.ExchangeTraceLevel(level);
}
