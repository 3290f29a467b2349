// The trace log and error texts.
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

#include "platform/api.h"
#include "platform/cstring.h"
#include "platform/exceptions.h"
#include "platform/wintypes.h"

class CXTSysBase;

#define XTTRACE_FAIL 0
#define XTTRACE_ERROR 1
#define XTTRACE_WARN 2
#define XTTRACE_INFO 3

// The program id of the library's own records.
#define XTTRACE_PROGID_XTBASIS (-999)

// The handle of the library's own module record (its string table); set when
// the library is loaded.
XTBASIS_C_API HINSTANCE g_hInst_XTBasis;
// The application's one system base object; stored by the application, never
// written by the library.
XTBASIS_C_API CXTSysBase* gp_XTSysBase;

// One record into the default trace file when the filters let it through.
// `sourceFile` may be a full path; the record names the part after the last
// backslash.
XTBASIS_C_API void XTTrace(int level, int progId, const char* sourceFile, int line, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
// The same into the file `traceFile` (a full path).
XTBASIS_C_API void XTTraceF(const char* traceFile, int level, int progId, const char* sourceFile, int line,
                            const char* format, ...) __attribute__((format(printf, 6, 7)));
// Sets the trace level (no clamping) and returns the one in force before;
// 0 and no change while gp_XTSysBase is null.
XTBASIS_C_API int SetXTTraceLevel(int level);

// The functions below return the library's string class. Their callers are
// C++ programs; the names stay plain so that they can be found by name.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The message the exception gives of itself, at most 99,999 characters.
// Empty for a null pointer or an exception without a message.
XTBASIS_C_API CString GetErrorMessage(CException* e);

// The text of an error number (0xFFFFFFFF: the calling thread's last error).
// When `moduleName` names a registered module, its message table is searched
// first. System texts are those of the C library for the errno value behind
// the number, in the language of the process locale, converted to code page
// 1252. Unknown numbers give "Fehler Nr. %d" below 0x10000, else
// "Fehler Nr. 0x%08x".
XTBASIS_C_API CString GetLastErrorString(const char* moduleName, DWORD errorNumber);

#ifdef __clang__
#pragma clang diagnostic pop
#endif
