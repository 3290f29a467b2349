#pragma once

#include <xtbasis/platform/cstring.h>

namespace xtb::files {

// Deletes `folder` with all its content: write-protected entries are made
// writable, a file whose deletion is refused (access denied or busy) is tried
// again every second up to ten more times; any other failure stops it. True
// when the folder is gone afterwards.
bool DeleteFolder(const CString& folder);

}  // namespace xtb::files
