// The framework's checks and debug output: ASSERT, VERIFY, TRACE and
// DEBUG_NEW, on the library's assertion and trace log.
//
// As in the framework, the checks depend on _DEBUG in the program's own
// build: with it, a failing ASSERT or VERIFY calls XTAssert with the file,
// line and function and the failed expression (a trace record and the
// assertion box; the program goes on), and TRACE writes a record into the
// trace log at the INFO level (program id 0). Without it, ASSERT and TRACE
// vanish with their arguments and VERIFY still evaluates its own.
// The library itself is built once: nothing here changes its layout.
//
// TRACE takes printf forms with typed arguments (a CString given to %s is
// its text); a trailing line break of the message is dropped, since every
// record is a line of its own. DEBUG_NEW is plain new with the file and line
// the framework passes (kept only so that the THIS_FILE idiom compiles).
#pragma once

#include <cstddef>
#include <new>

#include <xtbasis/crashreport.h>
#include <xtbasis/platform/api.h>
#include <xtbasis/platform/formatargs.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/trace.h>

#ifndef AFXAPI
#define AFXAPI
#endif

namespace xtb::win32 {

// One record of the program's TRACE: INFO level, program id 0, the format's
// trailing CR and LF dropped.
XTBASIS_API void TraceDebugRecord(const char* sourceFile, int line, const char* format, const XTFormatArg* args,
                                  int count);

template <class... Args>
inline void TraceDebug(const char* sourceFile, int line, const char* format, const Args&... args) {
  if (xtb::TraceFilteredOut(XTTRACE_INFO)) return;
  const XTFormatArg list[] = {xtb::FormatArgOf(args)..., XTFormatArg{}};
  TraceDebugRecord(sourceFile, line, format, list, static_cast<int>(sizeof...(Args)));
}

}  // namespace xtb::win32

#ifdef _DEBUG
#define ASSERT(f) ((f) ? static_cast<void>(0) : XTAssert(0, __FILE__, __LINE__, __func__, #f))
#define VERIFY(f) ASSERT(f)
#define TRACE(...) ::xtb::win32::TraceDebug(__FILE__, __LINE__, __VA_ARGS__)
#else
#define ASSERT(f) static_cast<void>(0)
#define VERIFY(f) static_cast<void>(f)
#define TRACE(...) static_cast<void>(0)
#endif

#define TRACE0(text) TRACE(text)
#define TRACE1(format, a1) TRACE(format, a1)
#define TRACE2(format, a1, a2) TRACE(format, a1, a2)
#define TRACE3(format, a1, a2, a3) TRACE(format, a1, a2, a3)

// The file of DEBUG_NEW's records; a source file of the framework's style
// replaces it by its own static array under _DEBUG.
#define THIS_FILE __FILE__

// The framework's debug allocation form; the memory is the plain heap's.
inline void* operator new(std::size_t size, const char* /*file*/, int /*line*/) { return ::operator new(size); }
inline void* operator new[](std::size_t size, const char* /*file*/, int /*line*/) {
  return ::operator new[](size);
}
inline void operator delete(void* block, const char* /*file*/, int /*line*/) noexcept { ::operator delete(block); }
inline void operator delete[](void* block, const char* /*file*/, int /*line*/) noexcept {
  ::operator delete[](block);
}

#ifdef _DEBUG
#define DEBUG_NEW new (THIS_FILE, __LINE__)
#else
#define DEBUG_NEW new
#endif

// Validity of memory the program names. The system cannot tell readable from
// unreadable memory cheaply and safely, so, as the later framework does, only
// a null pointer (for a non-empty block) is invalid.
inline BOOL AfxIsValidAddress(const void* address, UINT_PTR bytes, BOOL /*readWrite*/ = TRUE) {
  return address != nullptr || bytes == 0;
}
inline BOOL AfxIsValidString(const char* text, int /*length*/ = -1) { return text != nullptr; }
inline BOOL AfxIsValidString(const wchar_t* text, int /*length*/ = -1) { return text != nullptr; }

// A break for the debugger: under gdb the program stops here and can go on;
// without a debugger the breakpoint trap ends it as a crash, as on Windows.
#if defined(__x86_64__) || defined(__i386__)
#define AfxDebugBreak() __asm__ volatile("int3")
#else
#define AfxDebugBreak() __builtin_trap()
#endif
