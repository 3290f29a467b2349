#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include <xtbasis/platform/clock.h>
#include "delete_folder.h"

namespace {

constexpr int kRetries = 10;
constexpr DWORD kRetryDelayMs = 1000;

bool Gone(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

// Adds the owner's write permission (a folder needs it for its entries to go).
void MakeWritable(const std::string& path, const struct stat& info) {
  if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) chmod(path.c_str(), info.st_mode | S_IWUSR);
}

bool DeleteFile(const std::string& path) {
  for (int attempt = 0;; ++attempt) {
    if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    if ((errno != EACCES && errno != EBUSY) || attempt == kRetries) return false;
    Sleep(kRetryDelayMs);
  }
}

bool DeleteTree(const std::string& folder) {
  struct stat self;
  if (lstat(folder.c_str(), &self) == 0) MakeWritable(folder, self);
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
  if (!listing) return Gone(folder) || rmdir(folder.c_str()) == 0;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "/" + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      DeleteTree(path);  // what remains shows when the folder itself goes
    } else {
      MakeWritable(path, info);
      if (!DeleteFile(path)) return false;
    }
  }
  listing.reset();
  return rmdir(folder.c_str()) == 0 || Gone(folder);
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
