#include "delete_folder.h"

#include <cerrno>
#include <string>
#include <vector>

#include <xtbasis/platform/clock.h>
#include "os/file.h"
#include "os/folder.h"

namespace {

constexpr int kRetries = 10;
constexpr DWORD kRetryDelayMs = 1000;

// Adds the owner's write permission: a folder needs it for its entries to go.
void MakeWritable(const xtb::os::Folder& folder) {
  constexpr unsigned kOwnerWrite = 0200;
  xtb::os::FileFacts facts;
  if (xtb::os::FactsOf(folder.Get(), facts) && (facts.mode & kOwnerWrite) == 0)
    xtb::os::SetMode(folder.Get(), facts.mode | kOwnerWrite);
}

bool DeleteEntry(const xtb::os::Folder& folder, const std::string& name) {
  for (int attempt = 0;; ++attempt) {
    if (folder.Remove(name) || errno == ENOENT) return true;
    if ((errno != EACCES && errno != EBUSY) || attempt == kRetries) return false;
    Sleep(kRetryDelayMs);
  }
}

// Empties the folder `name` of `parent` and removes it. The walk goes from
// descriptor to descriptor, each folder opened without following a link:
// a link planted in the tree loses its name and nothing else, and a folder
// swapped for a link while the walk is inside is emptied where it went,
// never what the link points to. Modes are changed on opened folders only.
bool DeleteTree(const xtb::os::Folder& parent, const std::string& name) {
  const xtb::os::Folder folder = parent.OpenSubfolder(name);
  if (!folder.IsOpen()) return errno == ENOENT;
  MakeWritable(folder);
  std::vector<std::string> names;
  folder.List([&names](std::string_view entry) {
    names.emplace_back(entry);
    return true;
  });
  for (const std::string& entry : names) {
    xtb::os::FileFacts facts;
    if (!folder.FactsOfEntry(entry, facts)) continue;
    if (facts.folder) {
      DeleteTree(folder, entry);  // what remains shows when the folder itself goes
    } else if (!DeleteEntry(folder, entry)) {
      return false;
    }
  }
  return parent.RemoveSubfolder(name) || errno == ENOENT;
}

}  // namespace

namespace xtb::files {

bool DeleteFolder(const CString& folder) {
  std::string path = folder.str();
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  if (path.empty()) return false;
  std::string parentPath, name;
  os::SplitFolderAndName(path, parentPath, name);
  const os::Folder parent(parentPath);
  if (!parent.IsOpen()) return errno == ENOENT;
  return DeleteTree(parent, name);
}

}  // namespace xtb::files
