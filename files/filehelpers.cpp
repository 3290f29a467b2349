#include <string>
#include <utility>

#include <xtbasis/filehelpers.h>

#include "os/file.h"
#include "os/folder.h"
#include "path_parts.h"
#include "temp_names.h"
#include "wildcard.h"

namespace {

bool StatPath(const CString& path, xtb::os::FileFacts& facts) {
  return !path.IsEmpty() && xtb::os::FactsOf(path, facts);
}

}  // namespace

bool LoadTextFile(const CString& path, CString& text) {
  std::string content;
  if (!xtb::os::ReadWholeFile(path, content)) return false;
  text = CString(std::move(content));
  return true;
}

bool SaveTextFile(const CString& path, const CString& text) {
  // The text replaces the name (a planted link loses it, its target stays
  // as it was); a new file's mode is left to the umask.
  return xtb::os::ReplaceWholeFile(path, text.GetString(), static_cast<size_t>(text.GetLength()), xtb::os::kModeLessUmask);
}

CString FindNewestFile(const CString& pattern) {
  std::string newest;
  std::pair<int64_t, long> newestTime;
  xtb::path::ForEachMatch(std::string(pattern.view()), [&](const std::string& path,
                                                                      const xtb::os::FileFacts& facts) {
    if (!facts.regular) return true;
    const std::pair<int64_t, long> time(facts.modifiedSeconds, facts.modifiedNanoseconds);
    if (newest.empty() || time > newestTime) {
      newest = path;
      newestTime = time;
    }
    return true;
  });
  return CString(newest);
}

bool FileExists(const CString& path) {
  xtb::os::FileFacts facts;
  return StatPath(path, facts);
}

bool DirExists(CString& path) {
  if (path.IsEmpty()) return false;
  if (!xtb::path::IsSeparator(path[path.GetLength() - 1])) path += xtb::path::SeparatorOf(path.view());
  xtb::os::FileFacts facts;
  return StatPath(path, facts) && facts.folder;
}

void GetTempFilePath(CString& path, const CString& prefix) {
  path = xtb::files::CreateUniqueFile(xtb::files::TempDirectory(), prefix);
}

void DocToDocX(CString& fileName) {
  if (FileExists(fileName)) return;
  fileName += FileExists(fileName + "x") ? 'x' : 'm';
}
