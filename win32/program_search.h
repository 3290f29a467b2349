// Which file a program name given to CreateProcess or ShellExecute runs: a
// name with a folder is taken as it is, a bare one is searched for in the
// calling program's own folder and on PATH; "name.exe" runs "name" when
// that file exists.
#pragma once

#include <string>

namespace xtb::win32 {

// The absolute path of the program `name` names (searched for when
// `search` and the name has no folder). False with the last error:
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND (a folder of the name is
// missing), ERROR_ACCESS_DENIED (a folder, or a file that is not regular).
bool FindProgram(const std::string& name, bool search, std::string& path);

// `path` (a system path) made absolute against the current folder.
std::string AbsolutePath(const std::string& path);

}  // namespace xtb::win32
