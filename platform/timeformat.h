// Helpers of the time classes around struct tm.
#pragma once

#include <ctime>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/timeclasses.h>

namespace xtb {

// strftime: the '#' flag of numeric codes leaves out leading zeros, and text
// the locale gives in UTF-8 comes out in 1252.
CString FormatTm(const char* format, const struct tm& tm);

// A time span's %D, %H, %M, %S and %% (the span classes' Format).
CString FormatSpan(const char* format, long long days, long hours, long minutes, long seconds);

// The format that string `id` of the resource module holds; empty when missing.
CString ResourceFormat(UINT id);

SYSTEMTIME SystemTimeOf(const struct tm& parts, WORD milliseconds = 0);

}  // namespace xtb
