#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <xtbasis/platform/lasterror.h>

namespace xtb::crypto::disk {

namespace {

// Writes all bytes, across short writes and interruptions.
bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

// Writes all bytes to `fd`, flushes them to the disk and closes it; false
// (last error set) on failure.
bool WriteSyncClose(int fd, const uint8_t* bytes, size_t size) {
  bool written = WriteAll(fd, bytes, size) && fsync(fd) == 0;
  if (!written) SetLastErrorFromErrno();
  if (close(fd) != 0 && written) {
    SetLastErrorFromErrno();
    written = false;
  }
  return written;
}

}  // namespace

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

bool File::OpenExclusive(const char* path) {
  if (!OpenRead(path)) return false;
  if (flock(m_fd, LOCK_EX | LOCK_NB) == 0) return true;
  Close();
  return false;
}

bool File::Names(const char* path) const {
  struct stat existing, own;
  return IsOpen() && stat(path, &existing) == 0 && fstat(m_fd, &own) == 0 && existing.st_dev == own.st_dev &&
         existing.st_ino == own.st_ino;
}

bool File::CreateExclusive(const char* path, const File& source) {
  Close();
  if (path == nullptr || source.Names(path)) return false;
  m_fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (m_fd < 0) return false;
  if (flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(m_fd, 0) != 0) {
    Close();
    return false;
  }
  return true;
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

bool File::Write(const uint8_t* buffer, size_t size) { return WriteAll(m_fd, buffer, size); }

off_t File::Length() const {
  struct stat info;
  return fstat(m_fd, &info) == 0 ? info.st_size : -1;
}

bool File::Close() {
  const bool ok = m_fd < 0 || close(m_fd) == 0;
  m_fd = -1;
  return ok;
}


bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  File file;
  if (!file.OpenShared(path)) return false;
  const off_t length = file.Length();
  if (length < 0) return false;
  bytes.resize(static_cast<size_t>(length));
  return file.ReadExactly(bytes.data(), bytes.size());
}

bool WriteFileForEveryone(const char* path, const uint8_t* bytes, size_t size) {
  if (path == nullptr) return false;
  // The content goes to a new file beside the target that then takes its
  // name, so a failed write (a full disk) leaves the old file whole instead
  // of a part of a key. Where no file can be made beside it, the target is
  // written in place.
  std::string draft = std::string(path) + ".XXXXXX";
  const int fd = size > 0 ? mkostemp(draft.data(), O_CLOEXEC) : -1;
  if (fd >= 0) {
    fchmod(fd, 0666);
    if (WriteSyncClose(fd, bytes, size) && rename(draft.c_str(), path) == 0) return true;
    SetLastErrorFromErrno();
    unlink(draft.c_str());
    return false;
  }
  const int direct = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (direct < 0) {
    SetLastErrorFromErrno();
    return false;
  }
  const bool written = WriteSyncClose(direct, bytes, size) && size > 0;
  chmod(path, 0666);  // whatever became of the write, as the rule asks
  return written;
}

bool LockedFolder::Open(const std::string& path, bool create, mode_t mode) {
  Close();
  if (create) {
    std::error_code ignored;
    const std::filesystem::path folder(path);
    if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), ignored);
    if (mkdir(path.c_str(), mode) == 0) {
      chmod(path.c_str(), mode);
    } else if (errno != EEXIST) {
      SetLastErrorFromErrno();
      return false;
    }
  }
  m_fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (m_fd < 0) SetLastErrorFromErrno();
  return m_fd >= 0;
}

bool LockedFolder::Lock(bool exclusive) {
  while (flock(m_fd, exclusive ? LOCK_EX : LOCK_SH) != 0) {
    if (errno == EINTR) continue;
    SetLastErrorFromErrno();
    return false;
  }
  return true;
}

bool LockedFolder::ReadFile(const char* name, std::vector<uint8_t>& bytes) const {
  const int fd = openat(m_fd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok) {
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t total = 0;
    while (total < bytes.size()) {
      const ssize_t got = read(fd, bytes.data() + total, bytes.size() - total);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      total += static_cast<size_t>(got);
    }
    ok = total == bytes.size();
  }
  close(fd);
  return ok;
}

bool LockedFolder::ReplaceFile(const char* name, const std::vector<uint8_t>& bytes, mode_t mode) const {
  const std::string draft = std::string(".") + name + ".new";
  unlinkat(m_fd, draft.c_str(), 0);  // left over by a writer that died
  const int fd = openat(m_fd, draft.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) {
    SetLastErrorFromErrno();
    return false;
  }
  fchmod(fd, mode);  // whatever the umask
  const bool ok = WriteSyncClose(fd, bytes.data(), bytes.size());
  if (ok && renameat(m_fd, draft.c_str(), m_fd, name) == 0) return true;
  SetLastErrorFromErrno();
  unlinkat(m_fd, draft.c_str(), 0);
  return false;
}

bool LockedFolder::RemoveFile(const char* name) const { return unlinkat(m_fd, name, 0) == 0 || errno == ENOENT; }

std::vector<std::string> LockedFolder::FileNames() const {
  std::vector<std::string> names;
  const int fd = openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* folder = fd >= 0 ? fdopendir(fd) : nullptr;
  if (folder == nullptr) {
    if (fd >= 0) close(fd);
    return names;
  }
  while (const dirent* entry = readdir(folder))
    if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
  closedir(folder);
  return names;
}

void LockedFolder::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

bool FolderExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFolder(const std::string& path) {
  LockedFolder folder;
  if (!folder.Open(path, false)) return errno == ENOENT;
  for (const std::string& name : folder.FileNames()) folder.RemoveFile(name.c_str());
  folder.Close();
  if (rmdir(path.c_str()) == 0 || errno == ENOENT) return true;
  SetLastErrorFromErrno();
  return false;
}

}  // namespace xtb::crypto::disk
