#pragma once

#include <xtbasis/platform/cstring.h>

namespace xtb::files {

// Deletes `folder` with all its content: write-protected folders are made
// writable (a file's own mode does not keep it from going), a file whose
// deletion is refused (access denied or busy) is tried again every second
// up to ten more times; any other failure stops it. Links in the tree are
// removed, never followed; a link in the folder's own place is refused.
// True when the folder is gone afterwards.
bool DeleteFolder(const CString& folder);

}  // namespace xtb::files
