// The shell's path text helpers.
#include <xtbasis/win32/shell_paths.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "os/file.h"

namespace {

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }
bool HasDrive(std::string_view path) { return path.size() >= 2 && path[1] == ':'; }

// The length of the root at the start: "C:\\" 3, "C:" 2, "\\\\server\\share\\" up
// to its share's separator, "\\" 1, none 0.
size_t RootLength(std::string_view path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
      while (end < path.size() && !IsSeparator(path[end])) ++end;
      if (part == 0 && end < path.size()) ++end;
    }
    return end;
  }
  if (HasDrive(path)) return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

// The root kept as written, the parts after it with "." left out and ".."
// taking off the part before it, each after the separator it had ('/' stays
// '/', so that a system path stays one).
std::string Canonical(std::string_view path) {
  struct Part {
    char separatorBefore;
    std::string_view text;
  };
  const size_t root = RootLength(path);
  std::vector<Part> parts;
  size_t start = root;
  for (size_t i = root; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) continue;
    const std::string_view part = path.substr(start, i - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back({start > 0 ? path[start - 1] : '\\', part});
    }
    start = i + 1;
  }
  std::string result(path.substr(0, root));
  const bool shareRoot = root > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0 || shareRoot) result += parts[i].separatorBefore;
    result += parts[i].text;
  }
  if (!path.empty() && IsSeparator(path.back()) && !parts.empty()) result += path.back();
  return result;
}

std::string Combined(std::string_view dir, std::string_view file) {
  if (HasDrive(file) || (file.size() >= 2 && IsSeparator(file[0]) && IsSeparator(file[1]))) return Canonical(file);
  if (!file.empty() && IsSeparator(file[0])) {
    // From the root of `dir`'s drive, or the system's root.
    const std::string drive(HasDrive(dir) ? dir.substr(0, 2) : std::string_view());
    return Canonical(drive + std::string(file));
  }
  std::string joined(dir);
  if (!joined.empty() && !IsSeparator(joined.back()) && !file.empty() && !(HasDrive(joined) && joined.size() == 2))
    joined += '\\';
  joined += file;
  return Canonical(joined);
}

// Copies `text` into the MAX_PATH buffer `path`; false when it does not fit.
bool Store(LPSTR path, const std::string& text) {
  if (text.size() >= MAX_PATH) return false;
  std::memcpy(path, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace

BOOL PathFileExistsA(LPCSTR path) {
  xtb::os::FileFacts facts;
  return path && *path && xtb::os::FactsOf(path, facts);
}

BOOL PathIsDirectoryA(LPCSTR path) {
  xtb::os::FileFacts facts;
  if (!path || !*path || !xtb::os::FactsOf(path, facts) || !facts.folder) return FALSE;
  return FILE_ATTRIBUTE_DIRECTORY;
}

BOOL PathIsRelativeA(LPCSTR path) { return !path || RootLength(path) == 0; }

LPSTR PathCombineA(LPSTR destination, LPCSTR dir, LPCSTR file) {
  if (!destination || (!dir && !file)) return nullptr;
  const std::string combined = Combined(dir ? dir : "", file ? file : "");
  if (!Store(destination, combined.empty() ? std::string("\\") : combined)) {
    destination[0] = '\0';
    return nullptr;
  }
  return destination;
}

BOOL PathAppendA(LPSTR path, LPCSTR more) {
  if (!path || !more) return FALSE;
  std::string_view rest(more);
  while (!rest.empty() && IsSeparator(rest.front())) rest.remove_prefix(1);  // appended, never a root
  return Store(path, Combined(path, rest));
}

BOOL PathRemoveFileSpecA(LPSTR path) {
  if (!path) return FALSE;
  const std::string_view text(path);
  const size_t root = RootLength(text);
  size_t cut = root;
  for (size_t i = root; i < text.size(); ++i)
    if (IsSeparator(text[i])) cut = i;
  if (cut == text.size()) return FALSE;
  path[cut] = '\0';
  return TRUE;
}

LPSTR PathFindFileNameA(LPCSTR path) {
  if (!path) return nullptr;
  LPCSTR name = path;
  for (LPCSTR p = path; *p; ++p)
    if ((IsSeparator(*p) || *p == ':') && p[1] && !IsSeparator(p[1])) name = p + 1;
  return const_cast<LPSTR>(name);
}

LPSTR PathFindExtensionA(LPCSTR path) {
  if (!path) return nullptr;
  LPCSTR dot = nullptr;
  LPCSTR p = path;
  for (; *p; ++p) {
    if (IsSeparator(*p) || *p == ' ') dot = nullptr;
    else if (*p == '.') dot = p;
  }
  return const_cast<LPSTR>(dot ? dot : p);
}

void PathRemoveExtensionA(LPSTR path) {
  if (path) *PathFindExtensionA(path) = '\0';
}

BOOL PathRenameExtensionA(LPSTR path, LPCSTR extension) {
  if (!path || !extension) return FALSE;
  LPSTR old = PathFindExtensionA(path);
  if (static_cast<size_t>(old - path) + std::strlen(extension) >= MAX_PATH) return FALSE;
  std::strcpy(old, extension);
  return TRUE;
}

LPSTR PathAddBackslashA(LPSTR path) {
  if (!path) return nullptr;
  const size_t length = std::strlen(path);
  if (length == 0 || IsSeparator(path[length - 1])) return path + length;
  if (length + 1 >= MAX_PATH) return nullptr;
  path[length] = '\\';
  path[length + 1] = '\0';
  return path + length + 1;
}

LPSTR PathRemoveBackslashA(LPSTR path) {
  if (!path) return nullptr;
  const size_t length = std::strlen(path);
  if (length == 0) return path;
  const bool isRoot = length == 1 || (length == 3 && HasDrive(path));
  if (IsSeparator(path[length - 1]) && !isRoot) path[length - 1] = '\0';
  return path + length - 1;
}

void PathStripPathA(LPSTR path) {
  if (!path) return;
  LPSTR name = PathFindFileNameA(path);
  std::memmove(path, name, std::strlen(name) + 1);
}
