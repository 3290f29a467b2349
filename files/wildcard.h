// Names matched against patterns with '*' and '?' as the Windows file
// functions match them, and the listing of a folder by such a pattern.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "os/file.h"

namespace xtb::path {

bool HasWildcards(std::string_view text);

// '*' matches any run of characters, '?' one character; a pattern ending in
// ".*" also matches names without an extension ("*.*" matches every name).
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// Calls `visit(fullPath, facts)` for each entry that `pattern` (a path, '\\'
// read as '/', whose last component may hold wildcards) names, in directory order,
// "." and ".." left out; stops early when `visit` returns false. Without
// wildcards the one named entry is visited when it exists.
void ForEachMatch(const std::string& pattern,
                  const std::function<bool(const std::string&, const os::FileFacts&)>& visit);

}  // namespace xtb::path
