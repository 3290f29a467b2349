#include "shared_memory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace xtb::os {

namespace {

// One shared-memory object of the machine holds the gate locks: a byte per
// name hash, locked while a name is opened or closed. It is never removed.
constexpr const char* kGateName = "/xtbasis-region-gate";
constexpr uint32_t kGateSlots = 1u << 20;

uint32_t NameHash(const std::string& name) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  return hash;
}

// Open-file-description locks belong to the open file, not to the process:
// two objects of one process exclude each other, and the kernel drops the
// lock when the last descriptor of the open file is closed.
bool SetLock(int fd, short type, bool wait, off_t start = 0, off_t length = 0) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  for (;;) {
    if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0) return true;
    if (errno != EINTR) return false;
  }
}

class Gate {
 public:
  explicit Gate(const std::string& name) {
    m_fd = shm_open(kGateName, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0) return;
    fchmod(m_fd, 0666);  // every user's processes pass the same gate, whatever their umask
    if (!SetLock(m_fd, F_WRLCK, true, NameHash(name) % kGateSlots, 1)) {
      const int error = errno;
      close(m_fd);
      m_fd = -1;
      errno = error;
    }
  }
  ~Gate() {
    if (m_fd >= 0) close(m_fd);  // releases the lock
  }
  Gate(const Gate&) = delete;
  Gate& operator=(const Gate&) = delete;
  explicit operator bool() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

// Nobody else holds the object: its exclusive lock can be had at once.
bool Unheld(int fd) { return SetLock(fd, F_WRLCK, false); }

bool NameStillNames(const std::string& name, int fd) {
  const int other = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (other < 0) return false;
  struct stat a {}, b {};
  const bool same = fstat(fd, &a) == 0 && fstat(other, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  close(other);
  return same;
}

}  // namespace

SharedSegment::Opened SharedSegment::Open(const std::string& name, size_t length, mode_t mode,
                                          const std::function<void(void*)>& initialise) {
  Close();
  m_name = name;
  const Gate gate(name);
  if (!gate) {
    m_error = errno;
    return Opened::kOpenFailed;
  }
  bool created = false;
  // Two rounds: an object left by holders that died is removed in the first.
  for (int round = 0; round < 2 && m_fd < 0; ++round) {
    m_fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (m_fd >= 0) {
      created = true;
      fchmod(m_fd, mode);
      break;
    }
    if (errno != EEXIST) break;
    m_fd = shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (m_fd < 0) break;
    if (Unheld(m_fd)) {
      shm_unlink(name.c_str());
      close(m_fd);
      m_fd = -1;
      errno = EEXIST;
    }
  }
  if (m_fd < 0 || !SetLock(m_fd, F_RDLCK, false) || (created && ftruncate(m_fd, static_cast<off_t>(length)) != 0)) {
    m_error = errno;
    if (m_fd >= 0) {
      if (created) shm_unlink(name.c_str());
      close(m_fd);
      m_fd = -1;
    }
    return Opened::kOpenFailed;
  }
  m_created = created;
  struct stat info {};
  if (fstat(m_fd, &info) != 0) {
    m_error = errno;
    return Opened::kMapFailed;
  }
  void* base = info.st_size > 0 ? mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0)
                                : MAP_FAILED;
  if (base == MAP_FAILED) {
    m_error = info.st_size > 0 ? errno : EINVAL;
    return Opened::kMapFailed;
  }
  m_base = base;
  m_length = static_cast<size_t>(info.st_size);
  if (created && initialise) initialise(m_base);
  return created ? Opened::kCreated : Opened::kAttached;
}

void SharedSegment::Close() {
  if (m_base != nullptr) munmap(m_base, m_length);
  if (m_fd >= 0) {
    {
      const Gate gate(m_name);
      if (gate && Unheld(m_fd) && NameStillNames(m_name, m_fd)) shm_unlink(m_name.c_str());
    }
    close(m_fd);
  }
  m_fd = -1;
  m_base = nullptr;
  m_length = 0;
  m_name.clear();
  m_error = 0;
  m_created = false;
}

SegmentRemoval RemoveUnheldSegment(const std::string& name, int& error) {
  error = 0;
  const Gate gate(name);
  if (!gate) {
    error = errno;
    return SegmentRemoval::kFailed;
  }
  const int fd = shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) {
    error = errno;
    return errno == ENOENT ? SegmentRemoval::kAbsent : SegmentRemoval::kFailed;
  }
  SegmentRemoval result = SegmentRemoval::kHeld;
  if (Unheld(fd)) {
    result = shm_unlink(name.c_str()) == 0 ? SegmentRemoval::kRemoved : SegmentRemoval::kFailed;
    if (result == SegmentRemoval::kFailed) error = errno;
  }
  close(fd);
  return result;
}

void RemoveUnheldSegments(const std::string& prefix) {
  DIR* folder = opendir("/dev/shm");  // where the C library keeps the objects
  if (folder == nullptr) return;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = std::string("/") + entry->d_name;
    if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
  }
  closedir(folder);
  int ignored;
  for (const std::string& name : names) RemoveUnheldSegment(name, ignored);
}

}  // namespace xtb::os
