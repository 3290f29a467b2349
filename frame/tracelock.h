// The lock that lets one writer at a time append to a trace file, taken
// without waiting. On a local file system it is a robust process-shared
// mutex in a table of locks that all processes of the machine map
// (/dev/shm/xtbasis-trace-locks-<its size>), chosen by the file's device
// and inode, so that taking and releasing it costs no system call. On any
// other file system (a network share that other machines write to as
// well), or when the table cannot be had, it is the file's advisory lock.
#pragma once

#include <sys/stat.h>

#include <cstdint>

namespace xtb {

struct TraceLockSlot;

class TraceFileLock {
 public:
  enum class Kind { Shared, Advisory };

  // Shared for the local file systems known to keep one machine's writers
  // to themselves, Advisory for every other.
  static Kind KindFor(int fd);

  TraceFileLock() = default;
  ~TraceFileLock() { Detach(); }
  TraceFileLock(const TraceFileLock&) = delete;
  TraceFileLock& operator=(const TraceFileLock&) = delete;

  // Binds the lock to the open file `fd` described by `info`; `fd` must stay
  // open while bound.
  void Attach(int fd, const struct stat& info, Kind kind);
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
  // machine's table must not take at the same time. Unlock releases it.
  bool LockFileToo();
  void Unlock();

 private:
  int m_fd = -1;
  TraceLockSlot* m_slot = nullptr;
  uint64_t m_device = 0;
  uint64_t m_inode = 0;
  bool m_held = false;
  bool m_fileLocked = false;
};

}  // namespace xtb
