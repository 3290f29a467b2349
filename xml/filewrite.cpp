#include "filewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <xtbasis/platform/lasterror.h>

namespace xtb::xml {

bool WriteFileForAll(const char* path, std::string_view bytes) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetLastErrorFromErrno();
    return false;
  }
  const char* data = bytes.data();
  size_t left = bytes.size();
  int error = 0;
  while (left > 0) {
    const ssize_t put = write(fd, data, left);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      error = put < 0 ? errno : ENOSPC;
      break;
    }
    data += put;
    left -= static_cast<size_t>(put);
  }
  fchmod(fd, 0666);  // the umask narrowed the mode given to open; open to all users
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    errno = error;
    SetLastErrorFromErrno();
    return false;
  }
  SetLastError(0);
  return !bytes.empty();
}

}  // namespace xtb::xml
