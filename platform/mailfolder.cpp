#include "mailfolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/localsocket.h>

namespace xtb::local {

std::string MailFolder() {
  const char* folder = std::getenv("XTBASIS_MAIL_DIR");
  return folder && *folder ? folder : "/tmp/.xtbasis-mail";
}

int OpenMailFolder() {
  const std::string folder = MailFolder();
  if (mkdir(folder.c_str(), 01777) == 0) chmod(folder.c_str(), 01777);  // past the umask
  const int fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  // Someone else's folder is trusted only when nobody else can replace our
  // files in it: it is not writable by others, or sticky.
  struct stat info {};
  const bool safe = fstat(fd, &info) == 0 &&
                    (info.st_uid == geteuid() || info.st_uid == 0 || !(info.st_mode & (S_IWGRP | S_IWOTH)) ||
                     (info.st_mode & S_ISVTX));
  if (!safe) {
    close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return -1;
  }
  return fd;
}

std::string SocketPath(int folderFd, const std::string& fileName) {
  return "/proc/self/fd/" + std::to_string(folderFd) + "/" + fileName;
}

int OpenSharedFile(int folderFd, const std::string& fileName) {
  const int fd = openat(folderFd, fileName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return -1;
  }
  if (info.st_uid == geteuid()) fchmod(fd, 0666);  // past the umask: other users lock it too
  return fd;
}

}  // namespace xtb::local
