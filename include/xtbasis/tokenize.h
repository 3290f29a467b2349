// Splitting texts into lists, joining two texts, code-page conversions
// (1252 ⇄ UTF-8, 1252 ⇄ OEM code page 850), percent-encoding and reducing
// a text to characters that every printer and data carrier accepts.
#pragma once

#include <vector>

#include "platform/api.h"
#include "platform/cstring.h"

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The splitting functions append to list and never clear it.
XTBASIS_API void SeparatedStrToVec(CString text, char separator, std::vector<CString>& list, bool keepTrailingEmpty);
XTBASIS_API void SeparatedStrToVec1(CString text, CString separator, std::vector<CString>& list,
                                    bool keepTrailingEmpty);
// Fields separated by the unit separator 0x1F; n separators give n + 1 fields.
XTBASIS_API void CopyData2StrVec(const CString& data, std::vector<CString>& list);
XTBASIS_C_API CString SCatS(const CString& first, const CString& second, const CString& separator, bool avoidDouble);

// Code page 1252 to UTF-8 and back; characters 1252 lacks (and malformed
// UTF-8 bytes) become '?'.
XTBASIS_C_API CString AnsiToUTF8(const CString& text);
XTBASIS_C_API CString UTF8ToAnsi(const CString& text);
// In place, code page 1252 to OEM code page 850 and back; '?' where the
// other code page lacks the character.
XTBASIS_C_API void Ansi2Ascii(CString& text);
XTBASIS_C_API void Ascii2Ansi(CString& text);
XTBASIS_C_API CString PercentEncode(const CString& text);

// Replaces control bytes by blanks and, unless mode is 3, the special and
// accented characters by printable ones (mode 0 the plainest; 1 and 2 keep
// more accented letters; other modes act as 0). Returns the new length.
XTBASIS_C_API int OemToPrintableOem(CString& text, int mode);
XTBASIS_C_API void RemoveCRLF(CString& text);
XTBASIS_C_API CString GetAlNum(const CString& text);
XTBASIS_C_API CString GetDigit(const CString& text);
XTBASIS_C_API void ReserveString(CString& text, int length);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
