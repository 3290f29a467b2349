// Matching by a table of suffixes (pattern from i on against name from j on)
// rather than by backtracking: a pattern of many '*' costs its length times
// the name's, never more.
#include "name_patterns.h"

#include <vector>

#include <xtbasis/platform/codepage1252.h>

namespace xtb::win32 {

namespace {

bool OnlyStarsFrom(std::string_view pattern, size_t from) {
  return pattern.find_first_not_of('*', from) == std::string_view::npos;
}

}  // namespace

bool NameMatches(std::string_view pattern, std::string_view name) {
  const size_t patternLength = pattern.size();
  const size_t nameLength = name.size();
  const size_t width = nameLength + 1;
  std::vector<char> matches((patternLength + 1) * width, 0);
  auto at = [&](size_t i, size_t j) -> char& { return matches[i * width + j]; };
  at(patternLength, nameLength) = 1;
  for (size_t i = patternLength; i-- > 0;) {
    const char wanted = pattern[i];
    for (size_t j = width; j-- > 0;) {
      const bool atEnd = j == nameLength;
      bool match = false;
      if (wanted == '*') {
        match = at(i + 1, j) || (!atEnd && at(i, j + 1));
      } else if (wanted == '?') {
        match = (!atEnd && at(i + 1, j + 1)) || ((atEnd || name[j] == '.') && at(i + 1, j));
      } else if (atEnd) {
        match = wanted == '.' && OnlyStarsFrom(pattern, i + 1);
      } else {
        match = cp1252::ToUpper(wanted) == cp1252::ToUpper(name[j]) && at(i + 1, j + 1);
      }
      at(i, j) = match ? 1 : 0;
    }
  }
  return at(0, 0) != 0;
}

}  // namespace xtb::win32
