#include "tracelock.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "processids.h"

namespace xtb {

// One lock of the table, and the file its holder writes.
struct TraceLockSlot {
  pthread_mutex_t mutex;
  std::atomic<uint64_t> device;
  std::atomic<uint64_t> inode;
};

namespace {

constexpr size_t kSlots = 4096;

// How long a writer waits for the writer of another file that shares its slot.
constexpr long kSharedSlotWaitNs = 100 * 1000 * 1000;

struct LockTable {
  TraceLockSlot slots[kSlots];
};

// The name carries the table's size, so that processes that lay it out
// otherwise (another word size, another version) never share one.
const char* TablePath() {
  static const std::string path = "/dev/shm/xtbasis-trace-locks-" + std::to_string(sizeof(LockTable));
  return path.c_str();
}

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

bool InitialiseTable(int fd) {
  void* memory = mmap(nullptr, sizeof(LockTable), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) return false;
  auto* table = static_cast<LockTable*>(memory);
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  bool done = true;
  for (TraceLockSlot& slot : table->slots) done = done && pthread_mutex_init(&slot.mutex, &attributes) == 0;
  pthread_mutexattr_destroy(&attributes);
  munmap(memory, sizeof(LockTable));
  return done;
}

// Makes the table under a private name and only then gives it its public
// one, so that nobody ever maps a half-made table. Returns it open, or -1.
int PublishTable() {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%u.%u", CachedProcessId(), CachedThreadId());
  const std::string draft = TablePath() + std::string(suffix);
  const int fd = open(draft.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  fchmod(fd, 0666);  // writers of other users share it, whatever their umask
  const bool made = ftruncate(fd, sizeof(LockTable)) == 0 && InitialiseTable(fd);
  const bool linked = made && link(draft.c_str(), TablePath()) == 0;
  const int linkError = errno;
  unlink(draft.c_str());
  if (linked) return fd;
  close(fd);
  return made && linkError == EEXIST ? open(TablePath(), O_RDWR | O_NOFOLLOW | O_CLOEXEC) : -1;
}

LockTable* MapTable() {
  int fd = open(TablePath(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) fd = PublishTable();
  if (fd < 0) return nullptr;
  struct stat info {};
  void* memory = MAP_FAILED;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= static_cast<off_t>(sizeof(LockTable)))
    memory = mmap(nullptr, sizeof(LockTable), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  return memory == MAP_FAILED ? nullptr : static_cast<LockTable*>(memory);
}

// The machine's table, mapped once for the life of the process; null when
// it cannot be had.
LockTable* Table() {
  static LockTable* const table = MapTable();
  return table;
}

TraceLockSlot* SlotOf(const struct stat& info) {
  LockTable* table = Table();
  if (table == nullptr) return nullptr;
  const uint64_t key = (static_cast<uint64_t>(info.st_ino) ^ (static_cast<uint64_t>(info.st_dev) << 32)) *
                       0x9E3779B97F4A7C15ull;
  return &table->slots[key >> 52];  // the top 12 bits: one of 4096
}

}  // namespace

TraceFileLock::Kind TraceFileLock::KindFor(int fd) {
  struct statfs info {};
  return fstatfs(fd, &info) == 0 && IsLocalFileSystem(info.f_type) ? Kind::Shared : Kind::Advisory;
}

void TraceFileLock::Attach(int fd, const struct stat& info, Kind kind) {
  Detach();
  m_fd = fd;
  m_device = info.st_dev;
  m_inode = info.st_ino;
  m_slot = kind == Kind::Shared ? SlotOf(info) : nullptr;
}

void TraceFileLock::Detach() {
  Unlock();
  Abandon();
}

void TraceFileLock::Abandon() {
  m_held = false;
  m_fileLocked = false;
  m_slot = nullptr;
  m_fd = -1;
}

bool TraceFileLock::TryLock() {
  if (m_slot == nullptr) {
    m_held = m_fd >= 0 && flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    return m_held;
  }
  int result = pthread_mutex_trylock(&m_slot->mutex);
  if (result == EBUSY && !(m_slot->device.load(std::memory_order_relaxed) == m_device &&
                           m_slot->inode.load(std::memory_order_relaxed) == m_inode)) {
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_nsec += kSharedSlotWaitNs;
    deadline.tv_sec += deadline.tv_nsec / 1000000000;
    deadline.tv_nsec %= 1000000000;
    result = pthread_mutex_timedlock(&m_slot->mutex, &deadline);
  }
  if (result == EOWNERDEAD) result = pthread_mutex_consistent(&m_slot->mutex);
  m_held = result == 0;
  if (m_held) {
    m_slot->device.store(m_device, std::memory_order_relaxed);
    m_slot->inode.store(m_inode, std::memory_order_relaxed);
  }
  return m_held;
}

bool TraceFileLock::LockFileToo() {
  if (m_held && !m_fileLocked && m_slot != nullptr) m_fileLocked = flock(m_fd, LOCK_EX | LOCK_NB) == 0;
  return m_held && (m_fileLocked || m_slot == nullptr);
}

void TraceFileLock::Unlock() {
  if (!m_held) return;
  m_held = false;
  if (m_slot == nullptr || m_fileLocked) flock(m_fd, LOCK_UN);
  m_fileLocked = false;
  if (m_slot != nullptr) pthread_mutex_unlock(&m_slot->mutex);
}

}  // namespace xtb
