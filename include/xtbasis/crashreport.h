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
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/platform/wintypes.h>

// A thread's registers as the report prints them: the x86-64 general
// registers under the names of this machine's Windows context record.
// ContextFlags says which groups are set; the report reads the integer,
// control and segment registers.
#define CONTEXT_AMD64 0x00100000u
#define CONTEXT_CONTROL (CONTEXT_AMD64 | 0x1u)
#define CONTEXT_INTEGER (CONTEXT_AMD64 | 0x2u)
#define CONTEXT_SEGMENTS (CONTEXT_AMD64 | 0x4u)
#define CONTEXT_FULL (CONTEXT_CONTROL | CONTEXT_INTEGER)
#define CONTEXT_ALL (CONTEXT_FULL | CONTEXT_SEGMENTS)

struct CONTEXT {
  DWORD ContextFlags;
  WORD SegCs, SegDs, SegEs, SegFs, SegGs, SegSs;
  DWORD EFlags;
  DWORD64 Rax, Rcx, Rdx, Rbx, Rsp, Rbp, Rsi, Rdi;
  DWORD64 R8, R9, R10, R11, R12, R13, R14, R15;
  DWORD64 Rip;
};
typedef CONTEXT* PCONTEXT;

// The caller's registers at its call of this function, as on Windows: the
// instruction is the return address, the stack pointer the caller's after
// the return. What StackTrace(text, context) and WriteStackDetails take.
XTBASIS_C_API void RtlCaptureContext(PCONTEXT context);

// A fault as the report describes it: its exception code (the table of
// GetExceptionString), where it happened and the thread's registers then.
#define EXCEPTION_MAXIMUM_PARAMETERS 15
struct EXCEPTION_RECORD {
  DWORD ExceptionCode;
  DWORD ExceptionFlags;
  EXCEPTION_RECORD* ExceptionRecord;
  PVOID ExceptionAddress;
  DWORD NumberParameters;
  ULONG_PTR ExceptionInformation[EXCEPTION_MAXIMUM_PARAMETERS];
};
typedef EXCEPTION_RECORD* PEXCEPTION_RECORD;
struct EXCEPTION_POINTERS {
  PEXCEPTION_RECORD ExceptionRecord;
  PCONTEXT ContextRecord;
};
typedef EXCEPTION_POINTERS* PEXCEPTION_POINTERS;

// The report's base: the report's text and the stack walk. The symbol
// engine's callbacks of the Windows original (EnumerateSymbolsCallback,
// FormatSymbolValue, DumpTypeIndex, FormatOutputValue, GetBasicType) take
// that engine's records and have no counterpart here: the crash helper reads
// variables with the DWARF of the modules.
class XTBASIS_API TandorExceptionReportBase {
 public:
  TandorExceptionReportBase();
  // The caller's call stack (at most 10 frames, its own frame first) in the
  // report's call-stack format; 0 when the symbols cannot be read.
  static int StackTrace(CString& text);
  // The call stack from `context` without its first two frames, at most 10
  // frames, in m_Text and `text`; 0 when the symbols cannot be read or the
  // context is null. The stack is walked by the calling thread itself, so
  // the context must be one of its present stack (taken in a function that
  // has not returned since); of any other only the context's own frame is
  // shown.
  static int StackTrace(CString& text, CONTEXT* context);

 protected:
  // The report being composed; every line is appended here.
  static CString m_Text;
  // The current process (a pseudo handle: the report reads its own process).
  static HANDLE m_hProcess;

  // Empties m_Text and writes the report's first two lines (the separator,
  // then the time in UTC and the computer's name).
  static void InitExceptionReport();
  // The report of `info` in m_Text: the two first lines, the exception, the
  // fault address with its module, the registers, then the call stack twice
  // (the second time under "Local Variables And Parameters"). Variables and
  // parameters are read only by the crash helper, from outside the process:
  // a report composed in the program itself shows the frames alone.
  static void GenerateExceptionReport(EXCEPTION_POINTERS* info);
  // The name of an exception code (ACCESS_VIOLATION ...); for a code not in
  // the table, the system's text for the signal it stands for, else empty.
  // The text lives in a buffer of the process, valid until the next call.
  static LPSTR GetExceptionString(DWORD code);
  // The module holding `address` (its path into `module`, cut to length - 1
  // characters), the number of its section (1-based, as the module's
  // section headers count) and the offset in that section. FALSE when no
  // module of the process holds the address.
  static BOOL GetLogicalAddress(PVOID address, PSTR module, DWORD length, DWORD& section, DWORD& offset);
  // Appends the call-stack block from `context` to m_Text: the frames with
  // indexes firstShown to lastIndex. `withVariables` asks for the variables
  // of each frame, which only the crash helper reads (see
  // GenerateExceptionReport).
  static void WriteStackDetails(CONTEXT* context, bool withVariables, int firstShown, int lastIndex);
  // Appends one printf-formed line to m_Text, cut at 1024 characters;
  // returns the length written, or 1024 when it was cut. As with CString's
  // Format, a CString or std::string given to %s is its text.
  template <class... Args>
  static int printf(const char* format, const Args&... args) {
    const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
    return AppendReportLine(format, list, static_cast<int>(sizeof...(Args)));
  }

 private:
  static int AppendReportLine(const char* format, const XTFormatArg* args, int count);
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
// nothing when it cannot be created. The calling thread stands in
// XTMiniDump, with its caller's frames below; the others where they were.
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
