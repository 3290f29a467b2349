// Temporary names in the application's temporary directory.
#pragma once

#include <xtbasis/platform/cstring.h>

namespace xtb::files {

// The temporary directory of the system base object in the system's form
// ('\\' read as '/'), ending with '/'; without one, $TMPDIR or /tmp.
CString TempDirectory();

// Creates a new, empty file `dir` + first three characters of `prefix` +
// four hex digits + ".TMP" with an exclusive create, trying the numbers in
// turn from one derived from the clock and process; its path, or empty.
CString CreateUniqueFile(const CString& dir, const CString& prefix);

}  // namespace xtb::files
