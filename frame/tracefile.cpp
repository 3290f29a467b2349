#include "tracefile.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tracelock.h"

namespace xtb {

namespace {

// How many idle trace files stay open between records.
constexpr size_t kKeptOpen = 4;

// A descriptor kept this long is compared with the file its path names
// before the next record, so that a file moved away by other means than
// rotation is followed within this time.
constexpr int64_t kRecheckMs = 1000;

int64_t CoarseMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// One trace file kept open for appending. While a thread writes through it the
// entry is busy; other threads of the process then lose their record, just as
// other writers do while the file's lock is held.
struct OpenTraceFile {
  std::string path;
  int fd = -1;
  TraceFileLock lock;
  bool busy = false;
  uint64_t lastUse = 0;
  int64_t checkedAt = 0;

  bool Reopen() {
    Close();
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    struct stat info {};
    if (fd >= 0 && fstat(fd, &info) != 0) Close();
    if (fd < 0) return false;
    lock.Attach(fd, info, TraceFileLock::KindFor(fd));
    checkedAt = CoarseMilliseconds();
    return true;
  }
  void Close() {
    if (fd < 0) return;
    lock.Detach();
    close(fd);
    fd = -1;
  }
  // Whether `path` still names the file behind `fd` (described by `info`).
  bool StillNamed(const struct stat& info) {
    struct stat named {};
    if (stat(path.c_str(), &named) != 0 || named.st_dev != info.st_dev || named.st_ino != info.st_ino) return false;
    checkedAt = CoarseMilliseconds();
    return true;
  }
};

class OpenTraceFiles {
 public:
  OpenTraceFiles() {
    pthread_atfork([] { Instance().m_mutex.lock(); }, [] { Instance().m_mutex.unlock(); },
                   [] { Instance().ForgetInChild(); });
  }

  // Never destroyed: records may still come from other objects' destructors.
  static OpenTraceFiles& Instance() {
    static OpenTraceFiles* files = new OpenTraceFiles;
    return *files;
  }

  // The entry of `path`, marked busy; null when another thread writes it.
  OpenTraceFile* Acquire(std::string_view path) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    OpenTraceFile* entry = Find(path);
    if (entry == nullptr) {
      entry = Vacant();
      entry->Close();
      entry->path = path;
    } else if (entry->busy) {
      return nullptr;
    }
    entry->busy = true;
    entry->lastUse = ++m_uses;
    return entry;
  }

  void Release(OpenTraceFile& entry) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    entry.busy = false;
  }

 private:
  OpenTraceFile* Find(std::string_view path) {
    for (auto& entry : m_entries)
      if (entry->path == path) return entry.get();
    return nullptr;
  }

  // The least recently used idle entry once enough are open, else a new one.
  OpenTraceFile* Vacant() {
    OpenTraceFile* oldest = nullptr;
    if (m_entries.size() >= kKeptOpen)
      for (auto& entry : m_entries)
        if (!entry->busy && (oldest == nullptr || entry->lastUse < oldest->lastUse)) oldest = entry.get();
    if (oldest != nullptr) return oldest;
    m_entries.push_back(std::make_unique<OpenTraceFile>());
    return m_entries.back().get();
  }

  // A child shares the parent's open files, and with them their advisory
  // locks: it opens its own. The forking thread holds the mutex here.
  void ForgetInChild() {
    for (auto& entry : m_entries) {
      entry->lock.Abandon();
      if (entry->fd >= 0) close(entry->fd);
      entry->fd = -1;
      entry->busy = false;
    }
    m_mutex.unlock();
  }

  std::mutex m_mutex;
  std::vector<std::unique_ptr<OpenTraceFile>> m_entries;
  uint64_t m_uses = 0;
};

// Moves the locked, too large file to its ".1" name. True when the path no
// longer names it (moved now, or by another writer just before), false when
// it stays in place and takes the record. Writers that do not share this
// machine's lock table (another container's, say) may be rotating the
// same file at once: the file's advisory lock is taken too, and the name
// checked again under it.
bool RotatedAway(OpenTraceFile& file, const struct stat& info) {
  if (!file.lock.LockFileToo()) return false;
  if (!file.StillNamed(info)) return true;
  const std::string older = file.path + ".1";
  unlink(older.c_str());
  return rename(file.path.c_str(), older.c_str()) == 0;
}

// Leaves `file` locked on the file its path names now, rotated when too
// large. False when the file cannot be opened or another writer holds it.
bool LockCurrentFile(OpenTraceFile& file) {
  // At most: a descriptor gone stale, a file to rotate, the new file.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (file.fd < 0 && !file.Reopen()) return false;
    if (!file.lock.TryLock()) return false;
    struct stat info {};
    if (fstat(file.fd, &info) != 0) break;
    const bool tooLarge = info.st_size > kTraceRotateSize;
    // A file deleted, or moved away (by another writer's rotation, which
    // only ever moves a too large file), is left for the one the path names.
    const bool stale = info.st_nlink == 0 || ((tooLarge || CoarseMilliseconds() - file.checkedAt >= kRecheckMs) &&
                                              !file.StillNamed(info));
    if (!stale && !(tooLarge && RotatedAway(file, info))) return true;
    file.Close();
  }
  file.Close();
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool AppendTraceRecord(std::string_view path, std::string_view bytes) {
  OpenTraceFiles& files = OpenTraceFiles::Instance();
  OpenTraceFile* file = files.Acquire(path);
  if (file == nullptr) return false;
  bool written = false;
  if (LockCurrentFile(*file)) {
    written = WriteAll(file->fd, bytes);
    file->lock.Unlock();
  }
  files.Release(*file);
  return written;
}

}  // namespace xtb
