// Small configuration files of the system (session entries, per-user
// settings), replaced whole so a reader never sees half a file.
#pragma once

#include <string>

namespace xtb::os {

// Writes `content` to a temporary name beside `path`, gives it `mode`, flushes
// it to disk and renames it over `path`; the folders on the way are made
// (mode 0755). false, with errno set, when any step fails; `path` is then
// untouched.
bool ReplaceSystemFile(const std::string& path, const std::string& content, unsigned mode);

}  // namespace xtb::os
