// Windows' wildcards for file names (FindFirstFile, CFileFind).
#pragma once

#include <string_view>

namespace xtb::win32 {

// Whether `name` matches `pattern` as file_search.h describes: case-blind
// in code page 1252, '*' any run, '?' one character or none at the end of
// the name or before a dot, and a '.' followed only by '*' (or nothing)
// also matching the end of a name without a dot.
bool NameMatches(std::string_view pattern, std::string_view name);

}  // namespace xtb::win32
