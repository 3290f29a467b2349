#include "tracefile.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/clocks.h"
#include "os/folder.h"
#include "os/machine_locks.h"
#include "os/process.h"

namespace xtb {

namespace {

// How many idle trace files stay open between records.
constexpr size_t kKeptOpen = 4;

// A descriptor kept this long is compared with the file its path names
// before the next record, so that a file moved away by other means than
// rotation is followed within this time.
constexpr int64_t kRecheckMs = 1000;

// The log folder may be one that every account of the practice writes:
// the file is opened by its name in the folder without following a link,
// and only a regular file with no other name is written. A planted name
// costs the record, as any file that cannot be opened does.
constexpr os::EntryRule kTraceFileRule{.access = os::EntryRule::Access::Append,
                                       .create = true,
                                       .mode = 0666,
                                       .everyoneFullAccess = false,
                                       .singleLink = true};

// One trace file kept open for appending. While a thread writes through it the
// entry is busy; other threads of the process then lose their record, just as
// other writers do while the file's lock is held.
struct OpenTraceFile {
  std::string path;
  std::string name;  // within `folder`
  os::Folder folder;
  os::Fd fd;
  os::MachineFileLock lock;
  bool busy = false;
  uint64_t lastUse = 0;
  int64_t checkedAt = 0;

  bool Reopen() {
    Close();
    std::string folderPath;
    os::SplitFolderAndName(path, folderPath, name);
    folder = os::Folder(folderPath);
    int error = 0;
    fd = folder.OpenEntry(name, kTraceFileRule, error);
    os::FileFacts facts;
    if (fd.IsOpen() && !os::FactsOf(fd.Get(), facts)) Close();
    if (!fd.IsOpen()) return false;
    lock.Attach(fd.Get(), facts.id, os::MachineFileLock::KindFor(fd.Get()), TraceLockTable());
    checkedAt = os::CoarseMonotonicMilliseconds();
    return true;
  }
  void Close() {
    if (fd.IsOpen()) lock.Detach();
    fd.Close();
    folder = os::Folder();
  }
  // Whether `path` still names the file behind `fd` (described by `facts`).
  bool StillNamed(const os::FileFacts& facts) {
    os::FileFacts named;
    if (!os::FactsOf(path.c_str(), named, false) || named.id != facts.id) return false;
    checkedAt = os::CoarseMonotonicMilliseconds();
    return true;
  }
};

class OpenTraceFiles {
 public:
  OpenTraceFiles() {
    os::OnFork([] { Instance().m_mutex.lock(); }, [] { Instance().m_mutex.unlock(); },
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
      entry->fd.Close();
      entry->folder = os::Folder();
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
// checked again under it. Both steps act on names within the folder: a link
// planted as the older name is itself removed, never what it points to.
bool RotatedAway(OpenTraceFile& file, const os::FileFacts& facts) {
  if (!file.lock.LockFileToo()) return false;
  if (!file.StillNamed(facts)) return true;
  const std::string older = file.name + ".1";
  file.folder.Remove(older);
  return file.folder.Rename(file.name, older);
}

// Leaves `file` locked on the file its path names now, rotated when too
// large. False when the file cannot be opened or another writer holds it.
bool LockCurrentFile(OpenTraceFile& file) {
  // At most: a descriptor gone stale, a file to rotate, the new file.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!file.fd.IsOpen() && !file.Reopen()) return false;
    if (!file.lock.TryLock()) return false;
    os::FileFacts facts;
    if (!os::FactsOf(file.fd.Get(), facts)) break;
    const bool tooLarge = facts.size > kTraceRotateSize;
    // A file deleted, or moved away (by another writer's rotation, which
    // only ever moves a too large file), is left for the one the path names.
    const bool stale =
        facts.links == 0 || ((tooLarge || os::CoarseMonotonicMilliseconds() - file.checkedAt >= kRecheckMs) &&
                             !file.StillNamed(facts));
    if (!stale && !(tooLarge && RotatedAway(file, facts))) return true;
    file.Close();
  }
  file.Close();
  return false;
}

}  // namespace

std::string TraceLockTablePath() { return os::MachineLockTable::PathForThisAccount("xtbasis-trace-locks"); }

os::MachineLockTable& TraceLockTable() {
  // Never unmapped: records may still come from other objects' destructors.
  static os::MachineLockTable* const table = new os::MachineLockTable(TraceLockTablePath());
  return *table;
}

std::string TakeLockTableRefusal() {
  static std::atomic<bool> told{false};
  const os::MachineLockTable& table = TraceLockTable();
  if (table.Refusal().empty() || told.exchange(true)) return {};
  return "Sperrtabelle " + table.Path() + " nicht benutzt (" + table.Refusal() + "), Dateisperren statt dessen";
}

bool AppendTraceRecord(std::string_view path, std::string_view bytes) {
  OpenTraceFiles& files = OpenTraceFiles::Instance();
  OpenTraceFile* file = files.Acquire(path);
  if (file == nullptr) return false;
  bool written = false;
  if (LockCurrentFile(*file)) {
    written = os::WriteFull(file->fd.Get(), bytes.data(), bytes.size());
    file->lock.Unlock();
  }
  files.Release(*file);
  return written;
}

}  // namespace xtb
