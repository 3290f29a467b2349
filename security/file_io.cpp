#include "file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace xtb::security {

bool File::OpenRead(const char* path) {
  Close();
  if (path == nullptr) return false;
  m_fd = open(path, O_RDONLY | O_CLOEXEC);
  return m_fd >= 0;
}

bool File::OpenShared(const char* path) {
  if (!OpenRead(path)) return false;
  if (flock(m_fd, LOCK_SH | LOCK_NB) == 0) return true;
  Close();
  return false;
}

bool File::Create(const char* path, const File& source) {
  Close();
  if (path == nullptr) return false;
  struct stat existing, own;
  if (source.IsOpen() && stat(path, &existing) == 0 && fstat(source.m_fd, &own) == 0 &&
      existing.st_dev == own.st_dev && existing.st_ino == own.st_ino)
    return false;
  m_fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return m_fd >= 0;
}

ssize_t File::Read(uint8_t* buffer, size_t size) {
  size_t total = 0;
  while (total < size) {
    const ssize_t got = read(m_fd, buffer + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

bool File::Write(const uint8_t* buffer, size_t size) {
  while (size > 0) {
    const ssize_t put = write(m_fd, buffer, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    buffer += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool File::Seek(off_t offset) { return lseek(m_fd, offset, SEEK_SET) == offset; }

off_t File::Length() const {
  struct stat info;
  return fstat(m_fd, &info) == 0 ? info.st_size : -1;
}

bool File::Close() {
  const bool ok = m_fd < 0 || close(m_fd) == 0;
  m_fd = -1;
  return ok;
}

}  // namespace xtb::security
