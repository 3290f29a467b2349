// Conversions between the library's code page 1252 and UTF-8, and between
// 1252 and the OEM code page 850 of DOS-era files and printers.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Code page 1252 to UTF-8 and back; characters 1252 lacks (and malformed
// UTF-8 bytes) become '?'.
XTBASIS_C_API CString AnsiToUTF8(const CString& text);
XTBASIS_C_API CString UTF8ToAnsi(const CString& text);
// In place, code page 1252 to OEM code page 850 and back; '?' where the
// other code page lacks the character.
XTBASIS_C_API void Ansi2Ascii(CString& text);
XTBASIS_C_API void Ascii2Ansi(CString& text);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
