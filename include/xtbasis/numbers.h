// Numbers in text: reading them out of typed-in or record text, and
// writing them in decimal, grouped, hexadecimal or any radix.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Reading numbers; a text without a number gives 0.
XTBASIS_C_API int ctoi(const CString& text, int& pos);  // unsigned digits after blanks
XTBASIS_C_API int GetNextInt(CString& text);            // removes what it reads
XTBASIS_C_API float GetNextPFloat(CString& text);       // the same, '.' included
XTBASIS_C_API int xtoi(const CString& text, int base);
XTBASIS_C_API unsigned int xtoui(const CString& text, int base);
XTBASIS_C_API int CardToInt(const char* text);
XTBASIS_C_API __int64 CardToInt64(const char* text);
XTBASIS_C_API double CardToDouble(const char* text);
// True when text starts with minDigits..maxDigits digits followed by blanks only.
XTBASIS_C_API bool NumStr(const CString& text, int minDigits, int maxDigits);

// Formatting numbers.
XTBASIS_C_API CString itoc(int value);
XTBASIS_C_API CString i64toc(__int64 value);
XTBASIS_C_API CString itoc0(int value);  // empty for 0
XTBASIS_C_API CString itoc3(int value);  // "1.234.567"
// radix 2..36, lower-case letters; itox writes negative values outside
// radix 10 as their unsigned 32-bit pattern. A radix out of range gives "".
XTBASIS_C_API CString itox(int value, int radix);
XTBASIS_C_API CString uitox(unsigned int value, int radix);
XTBASIS_C_API void pitoc(int value, CString& out, int width);            // "%*d"
XTBASIS_C_API void apitoc(unsigned int value, CString& out, int width);  // "%*u"
XTBASIS_C_API CString ftoc(double value);                                // "%g", locale's separator

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
