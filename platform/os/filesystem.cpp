#include "filesystem.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

#include "folder.h"

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

bool CreateNewFile(const char* path) {
  Fd file(open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  return file.IsOpen() && file.Close();
}

bool RemoveFile(const char* path) { return unlink(path) == 0; }

bool MakeFolder(const char* path, unsigned mode) { return mkdir(path, static_cast<mode_t>(mode)) == 0; }

bool RemoveFolder(const char* path) { return rmdir(path) == 0; }

bool SetPermissions(const char* path, unsigned mode) { return chmod(path, static_cast<mode_t>(mode)) == 0; }

}  // namespace xtb::os
