// Client drives redirected into a remote session.
#pragma once

#include <string_view>
#include <xtbasis/platform/wintypes.h>

namespace xtb::app {

// The drive bit of a redirected resource's remote name: "\\TSCLIENT\C..."
// (any case) gives bit 2; 0 for any other name or a letter outside A to Z.
DWORD DriveBitOfRemoteName(std::string_view remoteName);

}  // namespace xtb::app
