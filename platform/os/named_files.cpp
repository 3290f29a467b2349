#include "named_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "systempath.h"

namespace xtb::os {

namespace {

bool Creates(Disposition disposition) {
  return disposition == Disposition::CreateNew || disposition == Disposition::CreateAlways ||
         disposition == Disposition::OpenAlways;
}

bool Truncates(Disposition disposition) {
  return disposition == Disposition::CreateAlways || disposition == Disposition::TruncateExisting;
}

int AccessFlags(const ShareRequest& access) {
  // A writer opens for reading as well where it may: the sharing marks are
  // read locks.
  return access.write ? O_RDWR : O_RDONLY;
}

// Opens what is there, or creates with O_EXCL, so that `existed` is true to
// what this call found; a name that comes or goes in between is tried again.
Fd OpenOrCreate(const std::string& path, int flags, const NamedOpen& how, bool& existed) {
  for (int round = 0; round < 4; ++round) {
    if (how.disposition != Disposition::CreateNew) {
      Fd fd(open(path.c_str(), flags));
      if (fd.IsOpen() || errno != ENOENT || !Creates(how.disposition)) {
        existed = fd.IsOpen();
        return fd;
      }
    }
    Fd fd(open(path.c_str(), flags | O_CREAT | O_EXCL, static_cast<mode_t>(how.createMode)));
    if (fd.IsOpen() || errno != EEXIST || how.disposition == Disposition::CreateNew) {
      existed = !fd.IsOpen() && errno == EEXIST;
      return fd;
    }
  }
  errno = EEXIST;
  return Fd();
}

}  // namespace

Fd OpenNamed(const char* path, const NamedOpen& how, bool& existed) {
  existed = false;
  if (path == nullptr || *path == '\0') {
    errno = ENOENT;
    FailedOn("");
    return Fd();
  }
  const std::string systemPath = SystemPath(path);
  // O_NONBLOCK: a pipe's open must not wait for its other end.
  const int flags = AccessFlags(how.access) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (how.writeThrough ? O_DSYNC : 0);
  Fd fd = OpenOrCreate(systemPath, flags, how, existed);
  if (!fd.IsOpen() && errno == EACCES && how.access.write && !how.access.read) {
    // A file this account may write but not read: no sharing marks then.
    fd = OpenOrCreate(systemPath, (flags & ~O_RDWR) | O_WRONLY, how, existed);
  }
  if (!fd.IsOpen()) {
    FailedOn(systemPath);
    return fd;
  }
  FileFacts facts;
  if (!FactsOf(fd.Get(), facts)) return Fd();
  if (facts.folder) {
    errno = EISDIR;
    FailedOn(systemPath);
    return Fd();
  }
  const bool marks = (how.access.read || how.access.write) && (fcntl(fd.Get(), F_GETFL) & O_ACCMODE) != O_WRONLY;
  if ((marks && !TakeShareLocks(fd.Get(), how.access)) || fcntl(fd.Get(), F_SETFL, 0) != 0 ||
      (Truncates(how.disposition) && existed && facts.regular && ftruncate(fd.Get(), 0) != 0)) {
    FailedOn(systemPath);
    return Fd();
  }
  return fd;
}

int64_t MovePosition(int fd, int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  return static_cast<int64_t>(lseek(fd, static_cast<off_t>(offset), whence));
}

long ReadOnce(int fd, void* buffer, size_t size) {
  for (;;) {
    const ssize_t got = read(fd, buffer, size);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

bool SetLength(int fd, int64_t length) { return ftruncate(fd, static_cast<off_t>(length)) == 0; }

bool SyncToDisk(int fd) { return fsync(fd) == 0; }

FileKind KindOf(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return FileKind::Unknown;
  if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode) || S_ISBLK(info.st_mode)) return FileKind::Disk;
  if (S_ISCHR(info.st_mode)) return FileKind::Character;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FileKind::Pipe;
  return FileKind::Unknown;
}

}  // namespace xtb::os
