// Paths as the suite's programs write them, read by the system. Programs
// written for Windows build paths with '\'; every service of this folder
// that takes a file or folder path reads it through SystemPath, so each
// family takes '\' and '/' alike and no file whose name holds a backslash
// is ever made. The same services set the thread's Windows last error when
// a call on a path fails, where the path tells more than errno does.
#pragma once

#include <string>
#include <string_view>

namespace xtb::os {

// `path` with every '\' read as '/'.
std::string SystemPath(std::string_view path);

// After a failed call on `systemPath`: the last error becomes the Windows
// number of errno, where ENOENT is ERROR_PATH_NOT_FOUND when a folder on the
// way is missing as well (Windows tells the two apart, errno does not).
// errno is kept; the result is false, for `return ... || FailedOn(path)`.
bool FailedOn(const std::string& systemPath);

}  // namespace xtb::os
