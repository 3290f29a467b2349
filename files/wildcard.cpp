#include "wildcard.h"

#include "os/filesystem.h"
#include "os/systempath.h"

namespace xtb::path {

namespace {

bool Match(std::string_view pattern, std::string_view name) {
  // Greedy matching with one back-track point: the last '*' seen.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  if (Match(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos)
    return Match(pattern.substr(0, pattern.size() - 2), name);
  return false;
}

void ForEachMatch(const std::string& givenPattern,
                  const std::function<bool(const std::string&, const os::FileFacts&)>& visit) {
  const std::string pattern = os::SystemPath(givenPattern);
  const size_t slash = pattern.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  const std::string last = pattern.substr(dir.size());
  os::FileFacts facts;
  if (!HasWildcards(last)) {
    if (os::FactsOf(pattern.c_str(), facts)) visit(pattern, facts);
    return;
  }
  os::ListFolder(dir, [&](std::string_view name) {
    if (!MatchesWildcard(last, name)) return true;
    const std::string full = dir + std::string(name);
    return !os::FactsOf(full.c_str(), facts) || visit(full, facts);
  });
}

}  // namespace xtb::path
