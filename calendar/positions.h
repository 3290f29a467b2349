// Reading the fixed positions of date texts (positions count from 1).
#pragma once

#include <xtbasis/platform/cstring.h>

namespace xtb {

// `count` characters from position `first`; what lies beyond the end is left out.
inline CString Piece(const CString& s, int first, int count) { return s.Mid(first - 1, count); }

// The number written by the digits of a piece; 0 for a piece without
// leading digits (as atoi reads it).
int PieceNumber(const CString& s, int first, int count);

// Only the digits 0-9, and at least one.
bool DigitsOnly(const CString& s);

}  // namespace xtb
