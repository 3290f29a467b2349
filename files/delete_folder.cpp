#include <cerrno>
#include <string>
#include <vector>

#include <xtbasis/platform/clock.h>
#include "delete_folder.h"
#include "os/filesystem.h"

namespace {

constexpr int kRetries = 10;
constexpr DWORD kRetryDelayMs = 1000;

bool Gone(const std::string& path) {
  xtb::os::FileFacts facts;
  return !xtb::os::FactsOf(path.c_str(), facts, false) && errno == ENOENT;
}

// Adds the owner's write permission (a folder needs it for its entries to go).
void MakeWritable(const std::string& path, const xtb::os::FileFacts& facts) {
  constexpr unsigned kOwnerWrite = 0200;
  if (!facts.symbolicLink && (facts.mode & kOwnerWrite) == 0) xtb::os::SetPermissions(path.c_str(), facts.mode | kOwnerWrite);
}

bool DeleteFile(const std::string& path) {
  for (int attempt = 0;; ++attempt) {
    if (xtb::os::RemoveFile(path.c_str()) || errno == ENOENT) return true;
    if ((errno != EACCES && errno != EBUSY) || attempt == kRetries) return false;
    Sleep(kRetryDelayMs);
  }
}

bool DeleteTree(const std::string& folder) {
  xtb::os::FileFacts self;
  if (xtb::os::FactsOf(folder.c_str(), self, false)) MakeWritable(folder, self);
  std::vector<std::string> names;
  const bool listed = xtb::os::ListFolder(folder, [&names](std::string_view name) {
    names.emplace_back(name);
    return true;
  });
  if (!listed) return Gone(folder) || xtb::os::RemoveFolder(folder.c_str());
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    xtb::os::FileFacts facts;
    if (!xtb::os::FactsOf(path.c_str(), facts, false)) continue;
    if (facts.folder) {
      DeleteTree(path);  // what remains shows when the folder itself goes
    } else {
      MakeWritable(path, facts);
      if (!DeleteFile(path)) return false;
    }
  }
  return xtb::os::RemoveFolder(folder.c_str()) || Gone(folder);
}

}  // namespace

namespace xtb::files {

bool DeleteFolder(const CString& folder) {
  std::string path = folder.str();
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  if (path.empty()) return false;
  return DeleteTree(path);
}

}  // namespace xtb::files
