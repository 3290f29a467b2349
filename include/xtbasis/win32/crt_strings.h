// The C runtime's own string and number calls: the checked copies (strcpy_s
// ...), sprintf_s and _snprintf, the case-blind comparisons and case changes
// on code page 1252, and the number-to-text conversions (_itoa ...).
//
// Invalid arguments (a null pointer, a buffer too small for the result) are
// handled as the Windows runtime does when its invalid-parameter handler
// returns: the output buffer becomes the empty text where there is one, errno
// is set (EINVAL, ERANGE), and the call returns that code (or -1 for the
// printf forms). Nothing is ever written past the buffer. A handler set with
// _set_invalid_parameter_handler is called first, with null texts as the
// release runtime passes; none is set by default, so the program is not
// ended (the Windows default ends it).
//
// The printf forms take what CString::Format takes: the C library's format
// language with the Windows runtime's forms (%I64d, %S ...), and CString or
// std::string given to %s. The plain C names (sprintf, printf) stay the C
// library's own.
#pragma once

#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

typedef int errno_t;
typedef size_t rsize_t;

#define _TRUNCATE (static_cast<size_t>(-1))
#ifndef STRUNCATE
#define STRUNCATE 80
#endif

#define _I64_MIN INT64_MIN
#define _I64_MAX INT64_MAX
#define _UI64_MAX UINT64_MAX

typedef void (*_invalid_parameter_handler)(const wchar_t* expression, const wchar_t* function,
                                           const wchar_t* file, unsigned int line, uintptr_t reserved);
// Returns the handler set before.
XTBASIS_C_API _invalid_parameter_handler _set_invalid_parameter_handler(_invalid_parameter_handler handler);
XTBASIS_C_API _invalid_parameter_handler _get_invalid_parameter_handler(void);

// The checked copies. strncpy_s and strncat_s copy at most `count`
// characters; with count _TRUNCATE they copy what fits and return STRUNCATE
// when the text was cut.
XTBASIS_C_API errno_t strcpy_s(char* destination, rsize_t size, const char* source);
XTBASIS_C_API errno_t strcat_s(char* destination, rsize_t size, const char* source);
XTBASIS_C_API errno_t strncpy_s(char* destination, rsize_t size, const char* source, rsize_t count);
XTBASIS_C_API errno_t strncat_s(char* destination, rsize_t size, const char* source, rsize_t count);
// strtok_r under the runtime's name.
inline char* strtok_s(char* text, const char* delimiters, char** context) {
  return strtok_r(text, delimiters, context);
}

// The C++ forms that take the array's size from its type.
template <size_t N>
errno_t strcpy_s(char (&destination)[N], const char* source) {
  return strcpy_s(destination, N, source);
}
template <size_t N>
errno_t strcat_s(char (&destination)[N], const char* source) {
  return strcat_s(destination, N, source);
}
template <size_t N>
errno_t strncpy_s(char (&destination)[N], const char* source, rsize_t count) {
  return strncpy_s(destination, N, source, count);
}
template <size_t N>
errno_t strncat_s(char (&destination)[N], const char* source, rsize_t count) {
  return strncat_s(destination, N, source, count);
}

namespace xtb::win32 {

// How a formatted text goes into a caller's buffer.
enum class BufferRule {
  kWhole,  // sprintf_s: all of it and a NUL, else the empty text and -1 (ERANGE)
  kCount,  // _snprintf: at most `size` characters, NUL only when there is room; -1 when cut;
           // a null buffer of size 0 gives the length the text needs
};

// Puts `text` into `buffer` by `rule` and returns what the printf form returns.
XTBASIS_API int StoreFormatted(char* buffer, size_t size, const CString& text, BufferRule rule);
// _snprintf_s: at most `count` characters (all that fit for _TRUNCATE), always
// ended by NUL; -1 when the text was cut, the empty text and -1 (ERANGE) when
// `count` characters do not fit.
XTBASIS_API int StoreFormattedLimited(char* buffer, size_t size, size_t count, const CString& text);
// What every printf form gives for a null format: EINVAL, the empty text
// where there is a buffer, -1.
XTBASIS_API int RefuseNullFormat(char* buffer, size_t size);

// The format is the caller's, as the runtime's forms take it; with no
// arguments it is still read ("100%%" gives "100%"), which the compilers'
// check against non-literal formats would flag.
template <class... Args>
CString FormattedText(const char* format, const Args&... args) {
  CString text;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
  text.Format(format, args...);
#pragma GCC diagnostic pop
  return text;
}

}  // namespace xtb::win32

template <class... Args>
int sprintf_s(char* buffer, size_t size, const char* format, const Args&... args) {
  if (!format) return xtb::win32::RefuseNullFormat(buffer, size);
  return xtb::win32::StoreFormatted(buffer, size, xtb::win32::FormattedText(format, args...),
                                    xtb::win32::BufferRule::kWhole);
}
template <size_t N, class... Args>
int sprintf_s(char (&buffer)[N], const char* format, const Args&... args) {
  return sprintf_s(static_cast<char*>(buffer), N, format, args...);
}
template <class... Args>
int _snprintf(char* buffer, size_t count, const char* format, const Args&... args) {
  if (!format) return xtb::win32::RefuseNullFormat(buffer, count);
  return xtb::win32::StoreFormatted(buffer, count, xtb::win32::FormattedText(format, args...),
                                    xtb::win32::BufferRule::kCount);
}
template <class... Args>
int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, const Args&... args) {
  if (!format) return xtb::win32::RefuseNullFormat(buffer, size);
  return xtb::win32::StoreFormattedLimited(buffer, size, count, xtb::win32::FormattedText(format, args...));
}
template <size_t N, class... Args>
int _snprintf_s(char (&buffer)[N], size_t count, const char* format, const Args&... args) {
  return _snprintf_s(static_cast<char*>(buffer), N, count, format, args...);
}
// The length the text would have, without its NUL.
template <class... Args>
int _scprintf(const char* format, const Args&... args) {
  if (!format) return xtb::win32::RefuseNullFormat(nullptr, 0);
  return xtb::win32::FormattedText(format, args...).GetLength();
}

// The console forms behind _tprintf and _ftprintf: what CString::Format
// makes, written to `stream`; the count of characters written, or -1 (a null
// format, a failed write). The plain C printf and fprintf stay the C
// library's own.
namespace xtb::win32 {
XTBASIS_API int WriteFormatted(std::FILE* stream, const CString& text);

template <class... Args>
int PrintFormattedTo(std::FILE* stream, const char* format, const Args&... args) {
  if (!format || !stream) return RefuseNullFormat(nullptr, 0);
  return WriteFormatted(stream, FormattedText(format, args...));
}
template <class... Args>
int PrintFormatted(const char* format, const Args&... args) {
  return PrintFormattedTo(stdout, format, args...);
}
}  // namespace xtb::win32

// The va_list forms read their arguments as the format says (no CString
// through %s there).
XTBASIS_C_API int vsprintf_s(char* buffer, size_t size, const char* format, va_list args);
XTBASIS_C_API int _vsnprintf(char* buffer, size_t count, const char* format, va_list args);
XTBASIS_C_API int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args);
XTBASIS_C_API int _vscprintf(const char* format, va_list args);

// Case-blind comparisons on code page 1252: both texts are folded to lower
// case, as the runtime does ("_" sorts before "a").
XTBASIS_C_API int _stricmp(const char* first, const char* second);
XTBASIS_C_API int _strnicmp(const char* first, const char* second, size_t count);
#define _strcmpi _stricmp
#define stricmp _stricmp
#define strcmpi _stricmp
#define strnicmp _strnicmp

// Case changes in place on code page 1252; each returns its text. The _s
// forms refuse a text without NUL within `size` (EINVAL, text emptied).
XTBASIS_C_API char* _strupr(char* text);
XTBASIS_C_API char* _strlwr(char* text);
XTBASIS_C_API errno_t _strupr_s(char* text, size_t size);
XTBASIS_C_API errno_t _strlwr_s(char* text, size_t size);
XTBASIS_C_API char* _strrev(char* text);
#define strupr _strupr
#define strlwr _strlwr
#define strrev _strrev
template <size_t N>
errno_t _strupr_s(char (&text)[N]) {
  return _strupr_s(text, N);
}
template <size_t N>
errno_t _strlwr_s(char (&text)[N]) {
  return _strlwr_s(text, N);
}

// A copy from malloc (free it with free); null for null.
XTBASIS_C_API char* _strdup(const char* text);

// Numbers to text in radix 2 to 36 (lower-case digits). A negative value has
// a sign in radix 10 only; in any other radix its two's complement is
// written, in 32 bits for _itoa and _ltoa (long has 32 bits on Windows) and
// 64 for _i64toa. A radix outside 2..36 gives the empty text (EINVAL). The
// _s forms check the buffer: too small is ERANGE with the empty text.
XTBASIS_C_API char* _itoa(int value, char* buffer, int radix);
XTBASIS_C_API char* _ltoa(LONG value, char* buffer, int radix);
XTBASIS_C_API char* _ultoa(ULONG value, char* buffer, int radix);
XTBASIS_C_API char* _i64toa(long long value, char* buffer, int radix);
XTBASIS_C_API char* _ui64toa(unsigned long long value, char* buffer, int radix);
XTBASIS_C_API errno_t _itoa_s(int value, char* buffer, size_t size, int radix);
XTBASIS_C_API errno_t _ltoa_s(LONG value, char* buffer, size_t size, int radix);
XTBASIS_C_API errno_t _ultoa_s(ULONG value, char* buffer, size_t size, int radix);
XTBASIS_C_API errno_t _i64toa_s(long long value, char* buffer, size_t size, int radix);
XTBASIS_C_API errno_t _ui64toa_s(unsigned long long value, char* buffer, size_t size, int radix);
#define itoa _itoa
#define ltoa _ltoa
#define ultoa _ultoa
template <size_t N>
errno_t _itoa_s(int value, char (&buffer)[N], int radix) {
  return _itoa_s(value, buffer, N, radix);
}
template <size_t N>
errno_t _i64toa_s(long long value, char (&buffer)[N], int radix) {
  return _i64toa_s(value, buffer, N, radix);
}

// Text to 64-bit numbers: strtoll and strtoull, which saturate with ERANGE
// as the runtime's do; _atoi64 of null is 0.
inline long long _atoi64(const char* text) { return text ? std::strtoll(text, nullptr, 10) : 0; }
inline long long _strtoi64(const char* text, char** end, int radix) { return std::strtoll(text, end, radix); }
inline unsigned long long _strtoui64(const char* text, char** end, int radix) {
  return std::strtoull(text, end, radix);
}

namespace xtb::win32 {
template <class T, size_t N>
char (&CountOfArray(T (&)[N]))[N];
}  // namespace xtb::win32
// The element count of an array; a pointer is a compile error.
#define _countof(array) (sizeof(xtb::win32::CountOfArray(array)))
