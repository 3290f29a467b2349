#include "filesystem.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

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

bool ChangeCurrentFolder(const char* path) {
  const std::string systemPath = SystemPath(path);
  return chdir(systemPath.c_str()) == 0 || FailedOn(systemPath);
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

}  // namespace xtb::os
