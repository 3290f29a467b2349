#include "program_search.h"

#include <strings.h>

#include <cerrno>
#include <utility>
#include <vector>

#include <xtbasis/platform/lasterror.h>

#include "os/child_processes.h"
#include "os/filesystem.h"
#include "os/programs.h"
#include "os/systempath.h"

namespace xtb::win32 {
namespace {

// The names to try for `name`, the first that exists wins: without a
// ".exe" suffix first, since the programs built here have none.
std::vector<std::string> NamesFor(const std::string& name) {
  constexpr size_t kSuffix = 4;
  if (name.size() > kSuffix && strcasecmp(name.c_str() + name.size() - kSuffix, ".exe") == 0) {
    return {name.substr(0, name.size() - kSuffix), name};
  }
  return {name};
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The folders a bare name is searched in, in order.
std::vector<std::string> SearchFolders() {
  std::vector<std::string> folders;
  const std::string own = FolderOf(os::OwnExecutable());
  if (!own.empty()) folders.push_back(own);
  // An empty entry is the current folder, which is not searched.
  for (std::string& folder : os::PathFolders())
    if (!folder.empty()) folders.push_back(std::move(folder));
  return folders;
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::string current;
  if (!os::CurrentFolder(current)) return path;
  return current + "/" + path;
}

bool FindProgram(const std::string& name, bool search, std::string& path) {
  const std::string system = os::SystemPath(name);
  if (system.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  const std::vector<std::string> names = NamesFor(system);
  if (!search || system.find('/') != std::string::npos) {
    for (const std::string& candidate : names) {
      if (os::IsRegularFile(candidate, false)) {
        path = AbsolutePath(candidate);
        return true;
      }
    }
    // errno is the name's own, as given: the last one tried.
    return os::FailedOn(system);
  }
  for (const std::string& folder : SearchFolders()) {
    for (const std::string& candidate : names) {
      const std::string full = folder + "/" + candidate;
      if (os::IsRegularFile(full, true)) {
        path = AbsolutePath(full);
        return true;
      }
    }
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  return false;
}

}  // namespace xtb::win32
