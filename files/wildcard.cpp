#include "wildcard.h"

#include <dirent.h>

#include <memory>

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

void ForEachMatch(const std::string& pattern,
                  const std::function<bool(const std::string&, const struct stat&)>& visit) {
  const size_t slash = pattern.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  const std::string last = pattern.substr(dir.size());
  struct stat info;
  if (!HasWildcards(last)) {
    if (!pattern.empty() && stat(pattern.c_str(), &info) == 0) visit(pattern, info);
    return;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(dir.empty() ? "." : dir.c_str()), closedir);
  if (!folder) return;
  while (const dirent* entry = readdir(folder.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(last, name)) continue;
    const std::string full = dir + entry->d_name;
    if (stat(full.c_str(), &info) == 0 && !visit(full, info)) return;
  }
}

}  // namespace xtb::path
