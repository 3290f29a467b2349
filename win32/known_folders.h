// The Linux folders that stand for the Windows known folders (CSIDL_*),
// shared by SHGetFolderPath and the Windows variables the environment fills in.
#pragma once

#include <optional>
#include <string>

namespace xtb::win32 {

// The folder of a CSIDL value (flags already taken off); none for a value
// that has no folder here.
std::optional<std::string> KnownFolder(int csidl);

}  // namespace xtb::win32
