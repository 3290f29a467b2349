#include "tracefile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace xtb {

namespace {

// The file opened and locked for appending; -1 when it cannot be had now.
int OpenLocked(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool TooLarge(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && info.st_size > kTraceRotateSize;
}

// Moves the locked file to its ".1" name and opens a new one in its place;
// a failing rename leaves the writing in the old file.
int Rotate(const std::string& path, int fd) {
  const std::string older = path + ".1";
  unlink(older.c_str());
  if (rename(path.c_str(), older.c_str()) != 0) return fd;
  close(fd);
  return OpenLocked(path);
}

}  // namespace

bool AppendTraceRecord(const std::string& path, std::string_view bytes) {
  int fd = OpenLocked(path);
  if (fd >= 0 && TooLarge(fd)) fd = Rotate(path, fd);
  if (fd < 0) return false;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  close(fd);
  return written == bytes.size();
}

}  // namespace xtb
