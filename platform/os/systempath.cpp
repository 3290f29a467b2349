#include "systempath.h"

#include <sys/stat.h>

#include <cerrno>
#include <xtbasis/platform/lasterror.h>

namespace xtb::os {

std::string SystemPath(std::string_view path) {
  std::string result(path);
  for (char& ch : result)
    if (ch == '\\') ch = '/';
  return result;
}

namespace {

// Whether the folder that holds `path`'s last name is missing.
bool FolderOnTheWayMissing(const std::string& path) {
  std::string_view folder = path;
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  const size_t slash = folder.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return false;
  struct stat info {};
  return stat(std::string(folder.substr(0, slash)).c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace

bool FailedOn(const std::string& systemPath) {
  const int error = errno;
  const bool folderMissing = error == ENOENT && FolderOnTheWayMissing(systemPath);
  SetLastError(folderMissing ? ERROR_PATH_NOT_FOUND : WinErrorFromErrno(error));
  errno = error;
  return false;
}

}  // namespace xtb::os
