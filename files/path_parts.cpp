#include "path_parts.h"

#include <vector>

namespace xtb::path {

char SeparatorOf(std::string_view text, char fallback) {
  for (char ch : text)
    if (IsSeparator(ch)) return ch;
  return fallback;
}

Parts Split(std::string_view path) {
  Parts parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  size_t nameStart = 0;
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      nameStart = i;
      break;
    }
  }
  parts.dir = path.substr(0, nameStart);
  const std::string_view fileName = path.substr(nameStart);
  const size_t dot = fileName.rfind('.');
  parts.name = fileName.substr(0, dot);
  if (dot != std::string_view::npos) parts.ext = fileName.substr(dot);
  return parts;
}

std::string Make(const char* drive, const char* dir, const char* name, const char* ext) {
  std::string path;
  if (drive != nullptr && *drive != '\0') {
    path += drive[0];
    path += ':';
  }
  if (dir != nullptr && *dir != '\0') {
    const std::string_view text(dir);
    path += text;
    if (!IsSeparator(text.back())) path += SeparatorOf(text);
  }
  if (name != nullptr) path += name;
  if (ext != nullptr && *ext != '\0') {
    if (*ext != '.') path += '.';
    path += ext;
  }
  return path;
}

std::string NormaliseDir(std::string_view dir, char separator) {
  // The root that ".." cannot climb above: "\\server\share\", "\" or nothing.
  std::string root;
  size_t pos = 0;
  if (dir.size() >= 2 && IsSeparator(dir[0]) && IsSeparator(dir[1])) {
    root.assign(2, separator);
    pos = 2;
    for (int component = 0; component < 2 && pos < dir.size(); ++component) {
      while (pos < dir.size() && !IsSeparator(dir[pos])) root += dir[pos++];
      root += separator;
      while (pos < dir.size() && IsSeparator(dir[pos])) ++pos;
    }
  } else if (!dir.empty() && IsSeparator(dir[0])) {
    root.assign(1, separator);
    pos = 1;
  }
  std::vector<std::string_view> components;
  while (pos < dir.size()) {
    size_t end = pos;
    while (end < dir.size() && !IsSeparator(dir[end])) ++end;
    const std::string_view component = dir.substr(pos, end - pos);
    pos = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!components.empty() && components.back() != "..") {
        components.pop_back();
        continue;
      }
      if (!root.empty()) continue;  // nothing above the root
    }
    components.push_back(component);
  }
  std::string result = root;
  for (std::string_view component : components) {
    result += component;
    result += separator;
  }
  return result;
}

}  // namespace xtb::path
