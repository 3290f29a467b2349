// The library's printf: one formatter for every printf-style function it
// exports (CString's Format family, XTTrace, XTTraceF).
//
// It reads the C library's format language and, beside it, the forms of the
// Windows runtime the suite's programs were written for: %I64d/u/x/X, %I32d,
// %Id (pointer-sized), %hs and %ws (narrow and wide text whatever the
// function), %S and %C (wide text and character). Wide text is written in
// code page 1252, '?' for what 1252 lacks.
//
// Two ways in:
// - typed arguments (XTFormatArg, made by the templates of the public
//   headers): each conversion reads the argument as what it really is, so a
//   CString or std::string given to %s is its text, and %ld, %lu, %lx given a
//   32-bit LONG, DWORD or ULONG read 32 bits, as on Windows where long has
//   32 bits. This is the path that fixes ported code.
// - a va_list (the plain C exports, FormatV): the arguments can only be read
//   as the format says, so %ld reads a 64-bit long here.
//
// Every conversion the C library also defines gives printf's bytes: flags,
// width, precision and '*' as glibc has them; plain %f is std::to_chars
// (exact, like printf) and the other floating-point forms go to snprintf
// itself; the decimal point is the locale's. Where printf's behaviour is
// undefined the result here is defined: a missing argument or one of a kind
// the conversion cannot show writes nothing, an integer given to %f (or a
// floating-point value to %d) is converted, %n writes nothing, and unknown
// or positional (%1$d) conversions are copied as written.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <xtbasis/platform/formatargs.h>

namespace xtb {

// Appends the text of `format` with `count` typed arguments to `out`.
void AppendFormatted(std::string& out, const char* format, const XTFormatArg* args, size_t count);

// The same with C variadic arguments, read as the format's own types.
void AppendFormattedV(std::string& out, const char* format, va_list args);

}  // namespace xtb
