#include "shared_memory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "clocks.h"
#include "file.h"
#include "guarded_mappings.h"
#include "process.h"

namespace xtb::os {

namespace {

constexpr const char* kMachineGate = "/xtbasis-region-gate";
constexpr uint32_t kGateSlots = 1u << 20;

// A process holds its gate byte for the few calls of one open or close (and
// a creator's initialisation): a byte held longer is held by something else
// than an opener, and waiting for it would hang the caller.
constexpr uint64_t kOpenWaitMs = 2000;
constexpr uint64_t kCloseWaitMs = 200;

uint32_t NameHash(const std::string& name) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  return hash;
}

}  // namespace

const char* MachineGateName() { return kMachineGate; }

off_t GateByteOf(const std::string& name) { return static_cast<off_t>(NameHash(name) % kGateSlots); }

namespace {

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

// Opens the gate object `name`, creating it with `mode` when missing. An
// existing one is opened without O_CREAT: the kernel refuses an O_CREAT open
// of another account's file in /dev/shm (protected_regular), and the
// machine's gate is usually made by another account. Only a regular file
// with one name is a gate: the machine's gate gets its mode from whoever
// made it, and a second name of another object must not pass it on.
Fd OpenGateObject(const char* name, mode_t mode) {
  Fd fd;
  for (int round = 0; round < 3 && !fd.IsOpen(); ++round) {
    fd = Fd(shm_open(name, O_RDWR | O_CLOEXEC, 0));
    if (fd.IsOpen() || errno != ENOENT) break;
    fd = Fd(shm_open(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (fd.IsOpen()) fchmod(fd.Get(), mode);  // the same for every account, whatever its umask
    else if (errno != EEXIST) break;
  }
  FileFacts facts;
  if (fd.IsOpen() && !(FactsOf(fd.Get(), facts) && facts.regular && facts.links == 1)) {
    errno = ENXIO;
    return Fd();
  }
  return fd;
}

// The account's gate (the account of the real user id, as the objects' names
// have it) is trusted only when that account alone may lock it: owned by it,
// with no access for others. Every process of the account judges the one
// object alike, so all of them use it, or all of them (a name another
// account took first) the machine's.
Fd OpenGate(SegmentScope scope) {
  if (scope == SegmentScope::kAccount) {
    const uint32_t account = RealUserId();
    const std::string name = std::string(kMachineGate) + "-u" + std::to_string(account);
    Fd fd = OpenGateObject(name.c_str(), 0600);
    FileFacts facts;
    // A set-user-id program made it under its effective account: hand it over.
    if (fd.IsOpen() && FactsOf(fd.Get(), facts) && facts.owner != account && facts.owner == EffectiveUserId() &&
        fchown(fd.Get(), account, static_cast<gid_t>(-1)) == 0)
      FactsOf(fd.Get(), facts);
    if (fd.IsOpen() && facts.owner == account && (facts.mode & 077) == 0) return fd;
  }
  return OpenGateObject(kMachineGate, 0666);
}

// Takes the gate byte, waiting up to `waitMs`; ETIMEDOUT when it stayed held.
bool LockGateByte(int fd, off_t byte, uint64_t waitMs) {
  const uint64_t deadline = MonotonicMilliseconds() + waitMs;
  for (int round = 0;; ++round) {
    if (SetLock(fd, F_WRLCK, false, byte, 1)) return true;
    if (errno != EAGAIN && errno != EACCES) return false;
    if (MonotonicMilliseconds() >= deadline) {
      errno = ETIMEDOUT;
      return false;
    }
    SleepMilliseconds(round < 8 ? 0 : 1);  // a legitimate holder is done within microseconds
  }
}

class Gate {
 public:
  Gate(const std::string& name, SegmentScope scope, uint64_t waitMs) : m_fd(OpenGate(scope)) {
    if (m_fd.IsOpen() && !LockGateByte(m_fd.Get(), GateByteOf(name), waitMs)) {
      const int error = errno;
      m_fd.Close();
      errno = error;
    }
  }
  explicit operator bool() const { return m_fd.IsOpen(); }

 private:
  Fd m_fd;  // closing it releases the lock
};

// Nobody else holds the object: its exclusive lock can be had at once.
bool Unheld(int fd) { return SetLock(fd, F_WRLCK, false); }

// An object of the account's own that no other account may open.
bool OwnPrivateObject(int fd) {
  FileFacts facts;
  return FactsOf(fd, facts) && facts.regular && facts.owner == RealUserId() && (facts.mode & 077) == 0;
}

bool NameStillNames(const std::string& name, int fd) {
  const int other = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (other < 0) return false;
  struct stat a {}, b {};
  const bool same = fstat(fd, &a) == 0 && fstat(other, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  close(other);
  return same;
}

}  // namespace

SharedSegment::Opened SharedSegment::Open(const std::string& name, SegmentScope scope, size_t length, mode_t mode,
                                          const std::function<void(void*)>& initialise) {
  Close();
  m_name = name;
  m_scope = scope;
  const Gate gate(name, scope, kOpenWaitMs);
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
    if (scope == SegmentScope::kAccount && !OwnPrivateObject(m_fd)) {
      // Planted by another account, which may read and cut it: replaced
      // where this account may remove the name, else refused.
      close(m_fd);
      m_fd = -1;
      if (shm_unlink(name.c_str()) != 0) {
        errno = EACCES;
        break;
      }
      errno = EEXIST;
      continue;
    }
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
  // Every account may write, and so truncate, a machine-wide object.
  if (scope == SegmentScope::kMachine && !GuardMapping(m_base, m_length)) {
    m_error = errno != 0 ? errno : ENOMEM;
    return Opened::kMapFailed;
  }
  if (created && initialise) initialise(m_base);
  return created ? Opened::kCreated : Opened::kAttached;
}

bool SharedSegment::cut() const { return m_base != nullptr && MappingWasCut(m_base); }

void SharedSegment::Close() {
  if (m_base != nullptr) {
    UnguardMapping(m_base);
    munmap(m_base, m_length);
  }
  if (m_fd >= 0) {
    {
      // Without the gate the name stays: with no holder left, the next
      // opener replaces it and the next sweep removes it.
      const Gate gate(m_name, m_scope, kCloseWaitMs);
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

namespace {

// Removes the object `name` when no process holds it and its gate byte is
// free at once.
void RemoveIfUnheld(const std::string& name, SegmentScope scope) {
  const Gate gate(name, scope, 0);
  const int fd = gate ? shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0) : -1;
  if (fd < 0) return;
  if (Unheld(fd)) shm_unlink(name.c_str());
  close(fd);
}

}  // namespace

void RemoveUnheldSegments(const std::string& prefix, SegmentScope scope) {
  DIR* folder = opendir("/dev/shm");  // where the C library keeps the objects
  if (folder == nullptr) return;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = std::string("/") + entry->d_name;
    if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
  }
  closedir(folder);
  for (const std::string& name : names) RemoveIfUnheld(name, scope);
}

}  // namespace xtb::os
