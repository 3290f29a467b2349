#include "system_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file.h"

namespace xtb::os {

namespace {

bool MakeFoldersTo(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

bool ReplaceSystemFile(const std::string& path, const std::string& content, unsigned mode) {
  if (!MakeFoldersTo(path)) return false;
  const std::string temporary = path + ".xtb-new";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  bool ok = WriteFull(fd, content.data(), content.size()) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  const int error = errno;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
  const int failure = ok ? errno : error;
  unlink(temporary.c_str());
  errno = failure;
  return false;
}

}  // namespace xtb::os
