#include "tracelock.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "processids.h"

namespace xtb {

namespace {

// A lock segment: the mutex, and the file it belongs to, so that segments
// whose file is gone can be told apart and removed.
struct Segment {
  pthread_mutex_t mutex;
  uint64_t device;
  uint64_t inode;
  char path[PATH_MAX];
};

constexpr char kSegmentFolder[] = "/dev/shm/";
constexpr char kSegmentPrefix[] = "xtbasis-trace-";

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

std::string SegmentName(const struct stat& info) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%llx-%llx", kSegmentPrefix, static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  return kSegmentFolder + std::string(name);
}

bool InitialiseSegment(int fd, const struct stat& info, const std::string& path) {
  char absolute[PATH_MAX];
  if (realpath(path.c_str(), absolute) == nullptr) return false;  // other processes have other working folders
  void* memory = mmap(nullptr, sizeof(Segment), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) return false;
  Segment& segment = *static_cast<Segment*>(memory);
  segment.device = info.st_dev;
  segment.inode = info.st_ino;
  std::memcpy(segment.path, absolute, sizeof absolute);
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  const bool done = pthread_mutex_init(&segment.mutex, &attributes) == 0;
  pthread_mutexattr_destroy(&attributes);
  munmap(memory, sizeof(Segment));
  return done;
}

// Whether the segment `name` belongs to a file that its path no longer
// names (deleted, or rotated away). Unreadable ones are kept.
bool IsObsolete(const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  Segment segment;
  const bool read = pread(fd, &segment, sizeof segment, 0) == static_cast<ssize_t>(sizeof segment);
  close(fd);
  if (!read) return false;
  segment.path[PATH_MAX - 1] = '\0';
  struct stat named {};
  if (stat(segment.path, &named) != 0) return errno == ENOENT;
  return named.st_dev != segment.device || named.st_ino != segment.inode;
}

// Removes the segments of files that are gone. Runs whenever a segment is
// made, that is once per new trace file, so that they never pile up.
void RemoveObsoleteSegments() {
  DIR* folder = opendir(kSegmentFolder);
  if (folder == nullptr) return;
  while (const dirent* entry = readdir(folder)) {
    const std::string_view name = entry->d_name;
    // Drafts carry a '.' and belong to their maker.
    if (name.rfind(kSegmentPrefix, 0) != 0 || name.find('.') != std::string_view::npos) continue;
    const std::string full = kSegmentFolder + std::string(name);
    if (IsObsolete(full)) unlink(full.c_str());
  }
  closedir(folder);
}

// Creates the segment under a private name, initialises its mutex and only
// then gives it its public name, so that nobody ever maps a half-made one.
// Returns the public segment open, or -1.
int PublishSegment(const std::string& name, const struct stat& info, const std::string& path) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%u.%u", CachedProcessId(), CachedThreadId());
  const std::string draft = name + suffix;
  const int fd = open(draft.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  fchmod(fd, 0666);  // writers of other users share it, whatever their umask
  const bool made = ftruncate(fd, sizeof(Segment)) == 0 && InitialiseSegment(fd, info, path);
  if (made) RemoveObsoleteSegments();
  const bool linked = made && link(draft.c_str(), name.c_str()) == 0;
  unlink(draft.c_str());
  if (linked) return fd;
  close(fd);
  return made && errno == EEXIST ? open(name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC) : -1;
}

pthread_mutex_t* MapSegment(const std::string& name, const struct stat& file, const std::string& path) {
  int fd = open(name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) fd = PublishSegment(name, file, path);
  if (fd < 0) return nullptr;
  struct stat info {};
  void* memory = MAP_FAILED;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= static_cast<off_t>(sizeof(Segment)))
    memory = mmap(nullptr, sizeof(Segment), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  return memory == MAP_FAILED ? nullptr : &static_cast<Segment*>(memory)->mutex;
}

}  // namespace

TraceFileLock::Kind TraceFileLock::KindFor(int fd) {
  struct statfs info {};
  return fstatfs(fd, &info) == 0 && IsLocalFileSystem(info.f_type) ? Kind::Shared : Kind::Advisory;
}

void TraceFileLock::Attach(int fd, const struct stat& info, const std::string& path, Kind kind) {
  Detach();
  m_fd = fd;
  if (kind == Kind::Shared) m_shared = MapSegment(SegmentName(info), info, path);
}

void TraceFileLock::Detach() {
  Unlock();
  Unmap();
}

void TraceFileLock::Abandon() {
  m_held = false;
  m_fileLocked = false;
  Unmap();
}

void TraceFileLock::Unmap() {
  // The mutex is the segment's first member.
  if (m_shared != nullptr) munmap(m_shared, sizeof(Segment));
  m_shared = nullptr;
  m_fd = -1;
}

bool TraceFileLock::TryLock() {
  if (m_shared == nullptr) {
    m_held = m_fd >= 0 && flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    return m_held;
  }
  const int result = pthread_mutex_trylock(m_shared);
  if (result == EOWNERDEAD) pthread_mutex_consistent(m_shared);
  m_held = result == 0 || result == EOWNERDEAD;
  return m_held;
}

bool TraceFileLock::LockFileToo() {
  if (m_held && !m_fileLocked && m_shared != nullptr) m_fileLocked = flock(m_fd, LOCK_EX | LOCK_NB) == 0;
  return m_held && (m_fileLocked || m_shared == nullptr);
}

void TraceFileLock::Unlock() {
  if (!m_held) return;
  m_held = false;
  if (m_shared == nullptr || m_fileLocked) flock(m_fd, LOCK_UN);
  m_fileLocked = false;
  if (m_shared != nullptr) pthread_mutex_unlock(m_shared);
}

}  // namespace xtb
