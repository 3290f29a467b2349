#include "machine_locks.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "clocks.h"
#include "filesystem.h"
#include "process.h"
#include "system_text.h"

namespace xtb::os {

// One lock of the table, and the file its holder writes.
struct LockSlot {
  pthread_mutex_t mutex;
  std::atomic<uint64_t> device;
  std::atomic<uint64_t> inode;
};

namespace {

constexpr size_t kSlots = 4096;
constexpr uint64_t kMagic = 0x58544253'4C4F434Bull;  // "XTBSLOCK"

// How long a writer waits for the writer of another file that shares its slot.
constexpr long kSharedSlotWaitNs = 100 * 1000 * 1000;
// A writer holds a slot for one write. A slot found taken again and again
// for this long is held by something else than a writer.
constexpr int64_t kStuckSlotMs = 1000;

}  // namespace

// The header is written last when the table is made: a table without it
// was never finished.
struct LockTableLayout {
  uint64_t magic;
  uint64_t layoutSize;
  LockSlot slots[kSlots];
};

namespace {

// The kind word that every slot's mutex carries when it was set up as
// robust and process-shared; a slot with another one is no such lock.
int ExpectedMutexKind() {
  static const int kind = [] {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_t probe;
    pthread_mutex_init(&probe, &attributes);
    pthread_mutexattr_destroy(&attributes);
    const int value = probe.__data.__kind;
    pthread_mutex_destroy(&probe);
    return value;
  }();
  return kind;
}

bool SlotLooksSound(const LockSlot& slot) {
  return __atomic_load_n(&slot.mutex.__data.__kind, __ATOMIC_RELAXED) == ExpectedMutexKind();
}

bool LayoutIsSound(const LockTableLayout& table) {
  if (table.magic != kMagic || table.layoutSize != sizeof(LockTableLayout)) return false;
  for (const LockSlot& slot : table.slots)
    if (!SlotLooksSound(slot)) return false;
  return true;
}

bool InitialiseTable(int fd) {
  void* memory = mmap(nullptr, sizeof(LockTableLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) return false;
  auto* table = static_cast<LockTableLayout*>(memory);
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  bool done = true;
  for (LockSlot& slot : table->slots) done = done && pthread_mutex_init(&slot.mutex, &attributes) == 0;
  pthread_mutexattr_destroy(&attributes);
  table->layoutSize = sizeof(LockTableLayout);
  table->magic = kMagic;
  munmap(memory, sizeof(LockTableLayout));
  return done;
}

// Makes the table under a private name and only then gives it its public
// one, so that nobody ever maps a half-made table. Returns it open.
Fd PublishTable(const std::string& path) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%u.%u", CachedProcessId(), CachedThreadId());
  const std::string draft = path + suffix;
  Fd fd(open(draft.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.IsOpen()) return Fd();
  const bool made = ftruncate(fd.Get(), sizeof(LockTableLayout)) == 0 && InitialiseTable(fd.Get());
  const bool linked = made && link(draft.c_str(), path.c_str()) == 0;
  const int linkError = errno;
  unlink(draft.c_str());
  if (linked) return fd;
  return made && linkError == EEXIST ? Fd(open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC)) : Fd();
}

// Only a table that this account alone may write, under one name, of the
// expected size, is mapped; else the reason.
const char* WhyNotMapped(int fd) {
  FileFacts facts;
  if (!FactsOf(fd, facts) || !facts.regular) return "keine regul\xE4re Datei";
  if (facts.owner != EffectiveUserId()) return "geh\xF6rt einem anderen Konto";
  if (facts.links != 1) return "hat weitere Namen";
  if ((facts.mode & 0022) != 0) return "f\xFCr andere beschreibbar";
  if (facts.size != static_cast<int64_t>(sizeof(LockTableLayout))) return "falsche Gr\xF6\xDF" "e";
  return nullptr;
}

// The system's text for errno, as the refusal.
void RefuseWithErrno(std::string& refusal) {
  const int error = errno;
  if (!SystemErrorText(error, refusal)) refusal = "Fehler " + std::to_string(error);
}

LockTableLayout* MapTable(const std::string& path, std::string& refusal) {
  Fd fd(open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.IsOpen() && errno == ENOENT) fd = PublishTable(path);
  if (!fd.IsOpen()) {
    RefuseWithErrno(refusal);
    return nullptr;
  }
  if (const char* why = WhyNotMapped(fd.Get())) {
    refusal = why;
    return nullptr;
  }
  void* memory = mmap(nullptr, sizeof(LockTableLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd.Get(), 0);
  if (memory == MAP_FAILED) {
    RefuseWithErrno(refusal);
    return nullptr;
  }
  auto* table = static_cast<LockTableLayout*>(memory);
  if (LayoutIsSound(*table)) return table;
  munmap(memory, sizeof(LockTableLayout));
  refusal = "keine fertige Sperrtabelle";
  return nullptr;
}

}  // namespace

MachineLockTable::MachineLockTable(std::string path)
    : m_path(std::move(path)), m_table(MapTable(m_path, m_refusal)) {
  m_trusted.store(m_table != nullptr, std::memory_order_relaxed);
}

MachineLockTable::~MachineLockTable() {
  if (m_table != nullptr) munmap(m_table, sizeof(LockTableLayout));
}

std::string MachineLockTable::PathForThisAccount(std::string_view name) {
  // The name carries the layout's size, so that processes that lay it out
  // otherwise (another word size, another version) never share one.
  return "/dev/shm/" + std::string(name) + "-" + std::to_string(sizeof(LockTableLayout)) + "-" +
         std::to_string(EffectiveUserId());
}

LockSlot* MachineLockTable::SlotOf(const FileId& id) {
  if (!Trusted()) return nullptr;
  const uint64_t key = (id.inode ^ (id.device << 32)) * 0x9E3779B97F4A7C15ull;
  return &m_table->slots[key >> 52];  // the top 12 bits: one of 4096
}

MachineFileLock::Kind MachineFileLock::KindFor(int fd) {
  return OtherMachinesMayWrite(fd) ? Kind::Advisory : Kind::Shared;
}

void MachineFileLock::Attach(int fd, const FileId& id, Kind kind, MachineLockTable& table) {
  Detach();
  m_fd = fd;
  m_id = id;
  m_table = &table;
  m_slot = kind == Kind::Shared ? table.SlotOf(id) : nullptr;
  m_busySince = -1;
}

void MachineFileLock::Detach() {
  Unlock();
  Abandon();
}

void MachineFileLock::Abandon() {
  m_held = false;
  m_fileLocked = false;
  m_slot = nullptr;
  m_table = nullptr;
  m_fd = -1;
}

bool MachineFileLock::TryLock() {
  if (m_slot != nullptr && !m_table->Trusted()) m_slot = nullptr;
  if (m_slot != nullptr) {
    if (TryLockSlot()) return true;
    if (m_slot != nullptr) return false;  // another writer of the file holds it
  }
  m_held = m_fd >= 0 && flock(m_fd, LOCK_EX | LOCK_NB) == 0;
  return m_held;
}

// The slot taken, or false with the slot kept (another writer holds it) or
// dropped together with the whole table (it misbehaves).
bool MachineFileLock::TryLockSlot() {
  int result = SlotLooksSound(*m_slot) ? pthread_mutex_trylock(&m_slot->mutex) : EINVAL;
  if (result == EBUSY && !(m_slot->device.load(std::memory_order_relaxed) == m_id.device &&
                           m_slot->inode.load(std::memory_order_relaxed) == m_id.inode)) {
    const WallTime now = WallClock();
    timespec deadline{static_cast<time_t>(now.seconds), now.nanoseconds + kSharedSlotWaitNs};
    deadline.tv_sec += deadline.tv_nsec / 1000000000;
    deadline.tv_nsec %= 1000000000;
    result = pthread_mutex_timedlock(&m_slot->mutex, &deadline);
  }
  if (result == EOWNERDEAD) result = pthread_mutex_consistent(&m_slot->mutex);
  if (result == 0) {
    m_held = true;
    m_busySince = -1;
    m_slot->device.store(m_id.device, std::memory_order_relaxed);
    m_slot->inode.store(m_id.inode, std::memory_order_relaxed);
    return true;
  }
  if (result == EBUSY && !SlotStuck()) return false;
  // No writer holds a lock this long, and a sound table answers nothing
  // else: from now on the files' own locks guard the records.
  m_table->Distrust();
  m_slot = nullptr;
  return false;
}

bool MachineFileLock::SlotStuck() {
  const int64_t now = CoarseMonotonicMilliseconds();
  if (m_busySince < 0) m_busySince = now;
  return now - m_busySince >= kStuckSlotMs;
}

bool MachineFileLock::LockFileToo() {
  if (m_held && !m_fileLocked && m_slot != nullptr) m_fileLocked = flock(m_fd, LOCK_EX | LOCK_NB) == 0;
  return m_held && (m_fileLocked || m_slot == nullptr);
}

void MachineFileLock::Unlock() {
  if (!m_held) return;
  m_held = false;
  if (m_slot == nullptr || m_fileLocked) flock(m_fd, LOCK_UN);
  m_fileLocked = false;
  if (m_slot != nullptr) pthread_mutex_unlock(&m_slot->mutex);
}

}  // namespace xtb::os
