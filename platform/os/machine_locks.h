// The lock that lets one writer at a time append to a file, taken without
// waiting. On a local file system it is a robust process-shared mutex in a
// table of locks that the account's processes map
// (/dev/shm/<table name>-<layout size>-<user id>), chosen by the file's
// device and inode, so that taking and releasing it costs no system
// call. On a file system that other machines may write, and wherever the
// table cannot be had or trusted, it is the file's advisory lock (flock).
//
// The table is private to its account (mode 0600, checked to be the
// account's own, single-named and of the expected layout before it is
// used), so another user can neither corrupt it nor hold its locks. A table
// that misbehaves all the same (bytes that are no lock, a lock held longer
// than any writer holds one) is dropped for the rest of the process, which
// then takes the advisory lock: no record is lost to it and nothing waits
// for it beyond a short, bounded time.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "file.h"

namespace xtb::os {

struct LockTableLayout;
struct LockSlot;

// A table of locks in a file that processes map. One instance per table
// and process; the family that uses a table names it and keeps its instance.
class MachineLockTable {
 public:
  // Maps the table at `path`, creating it when missing.
  explicit MachineLockTable(std::string path);
  ~MachineLockTable();
  MachineLockTable(const MachineLockTable&) = delete;
  MachineLockTable& operator=(const MachineLockTable&) = delete;

  // Where the calling account's table called `name` lives.
  static std::string PathForThisAccount(std::string_view name);

  const std::string& Path() const { return m_path; }
  // Why the table was not mapped (another account's file, one too short,
  // one with other names, unsound bytes ...); empty when it was.
  const std::string& Refusal() const { return m_refusal; }
  // Mapped, found sound when mapped, and not found misbehaving since.
  bool Trusted() const { return m_trusted.load(std::memory_order_relaxed); }
  // Stops using the table for the rest of the process.
  void Distrust() { m_trusted.store(false, std::memory_order_relaxed); }

  // The slot that guards the file `id`; null when the table is not trusted.
  LockSlot* SlotOf(const FileId& id);

 private:
  std::string m_path;
  std::string m_refusal;
  LockTableLayout* m_table = nullptr;
  std::atomic<bool> m_trusted{false};
};

class MachineFileLock {
 public:
  enum class Kind { Shared, Advisory };

  // Shared for the local file systems known to keep one machine's writers
  // to themselves, Advisory for every other.
  static Kind KindFor(int fd);

  MachineFileLock() = default;
  ~MachineFileLock() { Detach(); }
  MachineFileLock(const MachineFileLock&) = delete;
  MachineFileLock& operator=(const MachineFileLock&) = delete;

  // Binds the lock to the open file `fd` (the file `id`) and, for the
  // shared kind, to a slot of `table`; `fd` must stay open while bound.
  void Attach(int fd, const FileId& id, Kind kind, MachineLockTable& table);
  // Unbinds; a lock still held is released first.
  void Detach();
  // Unbinds without releasing: for a child after fork, whose parent may
  // hold the lock through the same open file.
  void Abandon();

  // False when another writer of the file, in this process or another,
  // holds the lock. A holder that died holding it loses it to the next
  // taker. Two files may share a slot of the table: a writer of the other
  // file is waited for, briefly.
  bool TryLock();
  // While locked: takes the file's advisory lock as well (the advisory
  // kind holds it already), for steps that writers not sharing this
  // table must not take at the same time. Unlock releases it.
  bool LockFileToo();
  void Unlock();

 private:
  bool TryLockSlot();
  bool SlotStuck();

  int m_fd = -1;
  MachineLockTable* m_table = nullptr;
  LockSlot* m_slot = nullptr;
  FileId m_id;
  int64_t m_busySince = -1;  // when the slot was first found taken in a row
  bool m_held = false;
  bool m_fileLocked = false;
};

}  // namespace xtb::os
