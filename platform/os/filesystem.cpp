#include "filesystem.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "folder.h"
#include "systempath.h"

namespace xtb::os {

namespace {

// Local file systems on which every writer of a file runs on this machine.
bool IsLocalFileSystem(long type) {
  switch (static_cast<unsigned long>(type)) {
    case EXT4_SUPER_MAGIC:  // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case 0x2FC12FC1:  // zfs
      return true;
    default:
      return false;
  }
}

}  // namespace

bool OtherMachinesMayWrite(int fd) {
  struct statfs info {};
  return fstatfs(fd, &info) != 0 || !IsLocalFileSystem(info.f_type);
}

bool ListFolder(const std::string& folder, const std::function<bool(std::string_view name)>& visit) {
  return Folder(folder).List(visit);
}

bool CurrentFolder(std::string& folder) {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return false;
    buffer.resize(buffer.size() * 2);
  }
  folder = buffer.c_str();
  return true;
}

bool MayAccess(const char* path, bool write) {
  const std::string systemPath = SystemPath(path);
  return access(systemPath.c_str(), write ? W_OK : F_OK) == 0 || FailedOn(systemPath);
}

bool CreateNewFile(const char* path) {
  const std::string systemPath = SystemPath(path);
  Fd file(open(systemPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  return (file.IsOpen() && file.Close()) || FailedOn(systemPath);
}

bool RemoveFile(const char* path) {
  const std::string systemPath = SystemPath(path);
  return unlink(systemPath.c_str()) == 0 || FailedOn(systemPath);
}

bool MakeFolder(const char* path, unsigned mode) {
  const std::string systemPath = SystemPath(path);
  return mkdir(systemPath.c_str(), static_cast<mode_t>(mode)) == 0 || FailedOn(systemPath);
}

bool RemoveFolder(const char* path) {
  const std::string systemPath = SystemPath(path);
  return rmdir(systemPath.c_str()) == 0 || FailedOn(systemPath);
}

bool SetPermissions(const char* path, unsigned mode) {
  const std::string systemPath = SystemPath(path);
  return chmod(systemPath.c_str(), static_cast<mode_t>(mode)) == 0 || FailedOn(systemPath);
}

bool SetTimes(const char* path, int64_t modifiedSeconds, int64_t accessedSeconds) {
  const std::string systemPath = SystemPath(path);
  const auto time = [](int64_t seconds) {
    return seconds < 0 ? timespec{0, UTIME_OMIT} : timespec{static_cast<time_t>(seconds), 0};
  };
  const struct timespec times[2] = {time(accessedSeconds), time(modifiedSeconds)};
  return utimensat(AT_FDCWD, systemPath.c_str(), times, 0) == 0 || FailedOn(systemPath);
}

bool SetCurrentFolder(const char* path) {
  const std::string systemPath = SystemPath(path);
  return chdir(systemPath.c_str()) == 0 || FailedOn(systemPath);
}

namespace {

bool Taken(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

bool MovePath(const char* from, const char* to, bool replace) {
  const std::string source = SystemPath(from), target = SystemPath(to);
  if (replace) return rename(source.c_str(), target.c_str()) == 0 || FailedOn(target);
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL) return FailedOn(errno == EEXIST ? target : source);
  // A file system without RENAME_NOREPLACE: looked at first, not atomic.
  if (Taken(target)) {
    errno = EEXIST;
    return FailedOn(target);
  }
  return rename(source.c_str(), target.c_str()) == 0 || FailedOn(target);
}

namespace {

bool CopyContent(int from, int to, const FileFacts& facts) {
  char buffer[64 * 1024];
  for (;;) {
    const long got = ReadFull(from, buffer, sizeof buffer);
    if (got < 0 || !WriteFull(to, buffer, static_cast<size_t>(got))) return false;
    if (static_cast<size_t>(got) < sizeof buffer) break;
  }
  const struct timespec times[2] = {{static_cast<time_t>(facts.accessedSeconds), facts.accessedNanoseconds},
                                    {static_cast<time_t>(facts.modifiedSeconds), facts.modifiedNanoseconds}};
  return futimens(to, times) == 0;
}

bool CopyOpened(int source, const FileFacts& facts, const std::string& target, bool failIfExists) {
  std::string folderPath, name;
  SplitFolderAndName(target, folderPath, name);
  const Folder folder(folderPath);
  if (!folder.IsOpen()) return false;
  const unsigned mode = facts.mode & 0777;
  if (!failIfExists) {
    FileFacts there;
    if (FactsAt(folder.Get(), name.c_str(), there, true)) {
      if (there.id == facts.id) {
        errno = EAGAIN;
        return false;
      }
      if (there.folder || (there.mode & 0222) == 0) {
        errno = EACCES;
        return false;
      }
    }
    return folder.ReplaceEntryWith(name, [&](int fd) { return CopyContent(source, fd, facts); }, mode);
  }
  Fd copy(openat(folder.Get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!copy.IsOpen()) return false;
  if (CopyContent(source, copy.Get(), facts) && fchmod(copy.Get(), static_cast<mode_t>(mode)) == 0 && copy.Close())
    return true;
  const int error = errno;
  unlinkat(folder.Get(), name.c_str(), 0);
  errno = error;
  return false;
}

}  // namespace

bool CopyWholeFile(const char* from, const char* to, bool failIfExists) {
  const std::string source = SystemPath(from), target = SystemPath(to);
  const Fd file(open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.IsOpen()) return FailedOn(source);
  FileFacts facts;
  if (!FactsOf(file.Get(), facts)) return FailedOn(source);
  if (!facts.regular) {
    errno = facts.folder ? EACCES : ENXIO;
    return FailedOn(source);
  }
  return CopyOpened(file.Get(), facts, target, failIfExists) || FailedOn(target);
}

bool SyncFolderOf(const char* path) {
  std::string folderPath, name;
  SplitFolderAndName(path, folderPath, name);
  const Fd folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return (folder.IsOpen() && fsync(folder.Get()) == 0) || FailedOn(folderPath);
}

}  // namespace xtb::os
