#include "kept_endpoints.h"

#include <cerrno>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "folder.h"
#include "process.h"
#include "sharedfolder.h"

namespace xtb::os {

namespace {

// Endpoints kept per folder: a sender talks to a few; one that reaches more
// starts the set afresh rather than holding a descriptor for each.
constexpr size_t kKeptEntries = 16;

struct KeptFolder {
  std::string path;
  uint32_t account = 0;  // whose check the folder passed
  Folder folder;
  std::mutex entriesMutex;
  std::unordered_map<std::string, std::shared_ptr<const Fd>> entries;
};

std::mutex g_keptMutex;
std::shared_ptr<KeptFolder> g_kept;

// The checked folder `path` for this account: the kept one, unless `renew`
// or it was kept for another path or account; a new one is kept in its
// place (`fresh`). Null with errno set for a folder that cannot be used,
// and then nothing is kept.
std::shared_ptr<KeptFolder> FolderAt(std::string_view path, bool renew, bool& fresh) {
  const uint32_t account = EffectiveUserId();
  std::shared_ptr<KeptFolder> kept;
  {
    std::lock_guard guard(g_keptMutex);
    kept = g_kept;
  }
  fresh = renew || !kept || kept->account != account || kept->path != path;
  if (!fresh) return kept;
  auto checked = std::make_shared<KeptFolder>();
  checked->path = path;
  checked->account = account;
  checked->folder = Folder(checked->path, false);
  if (!checked->folder.IsOpen()) {
    checked.reset();
  } else if (!checked->folder.OthersCannotSwapEntries()) {
    errno = EACCES;
    checked.reset();
  }
  const int error = errno;
  {
    std::lock_guard guard(g_keptMutex);
    kept.swap(g_kept);
    g_kept = checked;
  }
  kept.reset();  // the replaced folder is closed outside the lock
  errno = error;
  return checked;
}

// The socket `name` of `folder`: the kept one, unless `renew` or none is
// kept; else opened and checked now and kept (`fresh`). Null with errno set
// when the name holds no socket that may be used, and then none is kept.
std::shared_ptr<const Fd> EntryOf(KeptFolder& folder, const std::string& name, bool renew, bool& fresh) {
  if (!renew) {
    std::lock_guard guard(folder.entriesMutex);
    if (const auto found = folder.entries.find(name); found != folder.entries.end()) {
      fresh = false;
      return found->second;
    }
  }
  fresh = true;
  int error = 0;
  Fd opened = folder.folder.OpenSocketEntry(name, error);
  std::shared_ptr<const Fd> entry = opened.IsOpen() ? std::make_shared<const Fd>(std::move(opened)) : nullptr;
  {
    std::lock_guard guard(folder.entriesMutex);
    if (!entry) {
      folder.entries.erase(name);
    } else {
      if (folder.entries.size() >= kKeptEntries) folder.entries.clear();
      folder.entries[name] = entry;
    }
  }
  std::string refusal;
  if (!entry) Refuse(error, name, refusal);
  return entry;
}

}  // namespace

int ReachEndpoint(std::string_view folderPath, const std::string& fileName, const std::function<int(int entry)>& reach) {
  bool freshFolder = false;
  for (bool renewFolder = false;; renewFolder = true) {
    const std::shared_ptr<KeptFolder> folder = FolderAt(folderPath, renewFolder, freshFolder);
    if (!folder) return -1;
    bool freshEntry = false;
    for (bool renewEntry = false;; renewEntry = true) {
      const std::shared_ptr<const Fd> entry = EntryOf(*folder, fileName, renewEntry, freshEntry);
      const int fd = entry ? reach(entry->Get()) : -1;
      if (fd >= 0 || errno != ENOENT) return fd;
      if (freshEntry) break;  // nobody holds the name in this folder
    }
    if (freshFolder) return -1;
  }
}

}  // namespace xtb::os
