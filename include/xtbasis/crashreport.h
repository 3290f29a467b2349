// Crash and stack reports, the crash reporter and assertions.
//
// A program installs the report once at start through an object of a class
// derived from TandorExceptionReport (Init). From then on a fatal signal
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP) on any thread made
// through pthread_create (std::thread's included; each gets an alternate
// signal stack, so a stack overflow is reported too) starts the crash
// helper (xtbasis-crashhelper, or the program XTBASIS_CRASH_HELPER names),
// which reads the crashed process from outside and writes
//   - the dump: an ELF core file "<log>NNNNN.DMP" that gdb opens with the
//     program (`gdb program app.RPT00000.DMP`), and
//   - the text report appended to the log file: time, computer, exception
//     code and name, registers, call stack with symbols and source lines,
//     parameters and local variables.
// The log file is the program's name with its extension (three characters
// or more) replaced by "RPT", in the log folder given to Init; a name
// without such an extension stays as it is, and ".RPT" is appended only
// where the log would otherwise be the program file itself (no log folder,
// or the program's own).
//
// Once the handlers are installed they stay: the library's sigaction() and
// signal() (the ones a program and its libraries call) refuse to replace
// the handler of any of these six signals. The call succeeds, changes
// nothing and reports the crash report's handler as the previous one; the
// first refusal for each signal is traced (level 2, "handler for SIGSEGV
// (11) refused: ..."). Reading the current action is not affected, nor are
// other signals. A handler installed before Init still runs after the
// report is written (a sanitizer's, for one).
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

class XTBASIS_API TandorExceptionReportBase {
 public:
  TandorExceptionReportBase();
  // The caller's call stack (at most 10 frames, its own frame first) in the
  // report's call-stack format; 0 when the symbols cannot be read.
  static int StackTrace(CString& text);
};

class XTBASIS_API TandorExceptionReport : public TandorExceptionReportBase {
 public:
  // The log file (0 primary, 1 fallback) and its dump pattern (the log file
  // followed by "%05d.DMP"), empty before Init.
  static const char* LogFileName(int index);
  static const char* DumpFilePattern(int index);
  // The log file beside the program `programPath`: its extension replaced
  // by "RPT" when it has three characters or more, else ".RPT" appended (the
  // name alone would be the program file itself). In a log folder of Init's
  // a program without such an extension keeps its name for the log.
  static CString ReportPathOf(const CString& programPath);

 protected:
  // Installs the handlers and sets the log and dump file names; an empty
  // folder puts the files next to the program. Folders are made (one level).
  void Init(const CString& logDir, const CString& fallbackLogDir);
};

#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The calling thread's call stack, starting with the caller; see StackTrace.
XTBASIS_C_API int XTStackTrace(CString& text);

#ifdef __clang__
#pragma clang diagnostic pop
#endif

// A dump of the running process into `fileName` (deleted and made anew);
// nothing when it cannot be created.
XTBASIS_C_API void XTMiniDump(const char* fileName);

// The suite's assertion: with `condition` 0, a trace record (level 2, id 0),
// a Yes/No/Cancel box and, on Yes, a dump into a file the user chooses.
// Never ends the program. `cause` may be null.
XTBASIS_C_API void XTAssert(int condition, const char* sourceFile, int line, const char* function, const char* cause);

// The crash reporter: each crash also leaves a folder of its own in
// `reportDir` (made with access for every user) holding the dump, the
// report text and the attachments: the registry key `regKey` (when not
// empty) as appName + "-reg.xml", the computer name, a picture of the screen
// (screenshot.png) where the program has a display, the WPF log and the
// trace log of the log folder. Installs the report handlers too when Init
// has not. 0 when installed; not installed when a symbolic link stands in
// place of `reportDir` (its folder may be one that every user writes).
XTBASIS_C_API int XTInstallCrashReporter(const char* reportDir, const char* appName, const char* appVersion,
                                         const char* regKey, const char* logDir);
// Crashes from now on leave no reporter folder (the report handlers stay).
XTBASIS_C_API void XTUninstallCrashReporter();
