// Taking texts apart and putting them together: reading characters and
// tokens from a position, splitting a text into a list at a separator, and
// joining two texts with one separator between them.
#pragma once

#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Reading characters and tokens. Positions are 0-based.
XTBASIS_C_API bool TryGetChar(const CString& text, int pos, char& c);
XTBASIS_C_API bool TryGetNextChar(const CString& text, int& pos, char& c);
// Skips blanks, collects up to the delimiter (or the end) and moves pos past it.
XTBASIS_C_API bool TryGetNextToken(const CString& text, int& pos, char delimiter, CString& token);
XTBASIS_C_API bool TryGetNextTok(const CString& text, int& pos, const CString& delimiters, CString& token);

// The splitting functions append to list and never clear it.
XTBASIS_API void SeparatedStrToVec(CString text, char separator, std::vector<CString>& list, bool keepTrailingEmpty);
XTBASIS_API void SeparatedStrToVec1(CString text, CString separator, std::vector<CString>& list,
                                    bool keepTrailingEmpty);
// Fields separated by the unit separator 0x1F; n separators give n + 1 fields.
XTBASIS_API void CopyData2StrVec(const CString& data, std::vector<CString>& list);
XTBASIS_C_API CString SCatS(const CString& first, const CString& second, const CString& separator, bool avoidDouble);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
