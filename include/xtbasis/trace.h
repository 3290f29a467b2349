// The trace log.
//
// XTTrace writes one record into "r9trace.log" in the log folder of the
// application's system base object (gp_XTSysBase, see sysbase.h). Nothing is
// written while gp_XTSysBase is null. The settings are read once per process
// from the application's main key below HKEY_LOCAL_MACHINE:
//   TraceLevel   records of this level and more severe are written (0..3, default 0)
//   TraceMsgBox  records of this level and more severe also raise a box (0..3, default 0)
//   TraceProgId  program-id filter, e.g. "5,!7": "n" includes, "!n" excludes
//                (default "!-998,!-992")
// Levels: 0 "FAIL ", 1 "ERROR", 2 "WARN ", 3 "INFO ". The library's own
// records carry the program id -999.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/sysbase.h>

#ifdef __cplusplus
#include <atomic>
#include <cstdint>
#endif

#define XTTRACE_FAIL 0
#define XTTRACE_ERROR 1
#define XTTRACE_WARN 2
#define XTTRACE_INFO 3

// The program id of the library's own records.
#define XTTRACE_PROGID_XTBASIS (-999)

// One record into the default trace file when the filters let it through.
// `sourceFile` may be a full path; the record names the part after the last
// backslash.
XTBASIS_C_API void XTTrace(int level, int progId, const char* sourceFile, int line, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
// The same into the file `traceFile` (a full path).
XTBASIS_C_API void XTTraceF(const char* traceFile, int level, int progId, const char* sourceFile, int line,
                            const char* format, ...) __attribute__((format(printf, 6, 7)));
// The same two with typed arguments: what the C++ templates below call.
XTBASIS_C_API void XTTraceList(int level, int progId, const char* sourceFile, int line, const char* format,
                               const XTFormatArg* args, int count);
XTBASIS_C_API void XTTraceFList(const char* traceFile, int level, int progId, const char* sourceFile, int line,
                                const char* format, const XTFormatArg* args, int count);
// Sets the trace level (no clamping) and returns the one in force before;
// 0 and no change while gp_XTSysBase is null.
XTBASIS_C_API int SetXTTraceLevel(int level);

#ifdef __cplusplus
namespace xtb {

// The trace level of the process's settings once they are read, the largest
// value before: records above it are filtered out.
XTBASIS_API extern std::atomic<int64_t> g_traceLevelGate;

// The test a record filtered out costs, before its arguments are looked at.
inline bool TraceFilteredOut(int level) {
  return gp_XTSysBase == nullptr || level > g_traceLevelGate.load(std::memory_order_relaxed);
}

}  // namespace xtb

// C++ callers reach these, which see each argument's type (a CString given
// to %s is its text, %ld given a 32-bit LONG reads 32 bits); calls without
// arguments and C callers reach the plain exports above.
template <class... Args>
inline void XTTrace(int level, int progId, const char* sourceFile, int line, const char* format,
                    const Args&... args) {
  if (xtb::TraceFilteredOut(level)) return;
  const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
  XTTraceList(level, progId, sourceFile, line, format, list, static_cast<int>(sizeof...(Args)));
}
template <class... Args>
inline void XTTraceF(const char* traceFile, int level, int progId, const char* sourceFile, int line,
                     const char* format, const Args&... args) {
  if (xtb::TraceFilteredOut(level)) return;
  const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
  XTTraceFList(traceFile, level, progId, sourceFile, line, format, list, static_cast<int>(sizeof...(Args)));
}
#endif
