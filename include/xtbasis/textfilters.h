// Filters that reduce a text to what a narrow channel takes: characters
// that every printer and data carrier shows, one line, letters and digits,
// digits only.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Replaces control bytes by blanks and, unless mode is 3, the special and
// accented characters by printable ones (mode 0 the plainest; 1 and 2 keep
// more accented letters; other modes act as 0). Returns the new length.
XTBASIS_C_API int OemToPrintableOem(CString& text, int mode);
// CR LF, LF CR and single CR or LF each become one blank.
XTBASIS_C_API void RemoveCRLF(CString& text);
XTBASIS_C_API CString GetAlNum(const CString& text);
XTBASIS_C_API CString GetDigit(const CString& text);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
