// Windows' basic types and helpers beyond the library's signatures:
// LARGE_INTEGER, ULARGE_INTEGER, the FILETIME and SYSTEMTIME conversions,
// ZeroMemory and its kin, min and max (NOMINMAX honoured),
// UNREFERENCED_PARAMETER, TEXT, MulDiv, and the lstr* and CharUpper/CharLower
// text calls on code page 1252.
#pragma once

#include <xtbasis/platform/wintypes.h>
