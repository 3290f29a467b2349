// The lock that lets one writer at a time append to a trace file, taken
// without waiting. On a local file system it is a robust process-shared
// mutex in a small shared-memory segment named after the file's device and
// inode, so that taking and releasing it costs no system call (segments of
// files that are gone are removed whenever a new one is made); on any other
// file system (a network share that other machines write to as well) it is
// the file's advisory lock.
#pragma once

#include <pthread.h>
#include <sys/stat.h>

#include <string>

namespace xtb {

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

  // Binds the lock to the open file `fd` at `path`, described by `info`;
  // `fd` must stay open while bound. A shared segment that cannot be had
  // falls back to the advisory lock.
  void Attach(int fd, const struct stat& info, const std::string& path, Kind kind);
  // Unbinds, unmapping the segment; a lock still held is released first.
  void Detach();
  // Unbinds without releasing: for a child after fork, whose parent may
  // hold the lock through the same segment or open file.
  void Abandon();

  // False when another writer, in this process or another, holds the lock.
  // A holder that died holding it loses it to the next taker.
  bool TryLock();
  // While locked: takes the file's advisory lock as well (the advisory
  // kind holds it already), for steps that writers not sharing this
  // machine's segments must not take at the same time. Unlock releases it.
  bool LockFileToo();
  void Unlock();

 private:
  void Unmap();

  int m_fd = -1;
  pthread_mutex_t* m_shared = nullptr;
  bool m_held = false;
  bool m_fileLocked = false;
};

}  // namespace xtb
