// FindFirstFile's search: the matching names of one folder, taken when the
// search starts, each with what WIN32_FIND_DATA tells of it.
#include <cerrno>
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/file_search.h>

#include "file_facts.h"
#include "kernel_objects.h"
#include "name_patterns.h"
#include "os/folder.h"

namespace {

class Search : public xtb::win32::KernelObject {
 public:
  std::vector<WIN32_FIND_DATAA> found;
  std::mutex nextLock;  // two threads on one handle each get their own entry
  size_t next = 0;
};

WIN32_FIND_DATAA FoundEntry(std::string_view name, const xtb::os::FileFacts& facts) {
  const WIN32_FILE_ATTRIBUTE_DATA facts32 = xtb::win32::AttributeDataOf(facts, name);
  WIN32_FIND_DATAA data{};
  data.dwFileAttributes = facts32.dwFileAttributes;
  data.ftCreationTime = facts32.ftCreationTime;
  data.ftLastAccessTime = facts32.ftLastAccessTime;
  data.ftLastWriteTime = facts32.ftLastWriteTime;
  data.nFileSizeHigh = facts32.nFileSizeHigh;
  data.nFileSizeLow = facts32.nFileSizeLow;
  const size_t length = std::min(name.size(), sizeof data.cFileName - 1);
  std::memcpy(data.cFileName, name.data(), length);
  return data;
}

// The facts of `name` in `folder` as Windows shows an entry: a link as what
// it leads to, a link that leads nowhere as itself.
bool EntryFacts(const xtb::os::Folder& folder, std::string_view name, xtb::os::FileFacts& facts) {
  const std::string entry(name);
  return xtb::os::FactsAt(folder.Get(), entry.c_str(), facts, true) || folder.FactsOfEntry(name, facts);
}

// "." and ".." stand first in every folder but the root, whose ".." is itself.
void AddDots(const xtb::os::Folder& folder, std::string_view pattern, std::vector<WIN32_FIND_DATAA>& found) {
  xtb::os::FileFacts self, parent;
  if (!xtb::os::FactsAt(folder.Get(), ".", self, true) || !xtb::os::FactsAt(folder.Get(), "..", parent, true)) return;
  if (self.id == parent.id) return;
  if (xtb::win32::NameMatches(pattern, ".")) found.push_back(FoundEntry(".", self));
  if (xtb::win32::NameMatches(pattern, "..")) found.push_back(FoundEntry("..", parent));
}

bool Next(Search& search, LPWIN32_FIND_DATAA data) {
  const std::lock_guard<std::mutex> hold(search.nextLock);
  if (search.next >= search.found.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  *data = search.found[search.next++];
  return true;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData) {
  if (fileName == nullptr || findFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (*fileName == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string folderPath, pattern;
  xtb::os::SplitFolderAndName(fileName, folderPath, pattern);
  const xtb::os::Folder folder(folderPath);
  if (!folder.IsOpen()) {
    SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_shared<Search>();
  if (!pattern.empty()) {
    AddDots(folder, pattern, search->found);
    const bool listed = folder.List([&](std::string_view name) {
      xtb::os::FileFacts facts;
      if (xtb::win32::NameMatches(pattern, name) && EntryFacts(folder, name, facts))
        search->found.push_back(FoundEntry(name, facts));
      return true;
    });
    if (!listed) {
      xtb::SetLastErrorFromErrno();
      return INVALID_HANDLE_VALUE;
    }
  }
  if (search->found.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Next(*search, findFileData);
  return xtb::win32::OpenHandle(std::move(search));
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findFileData) {
  const std::shared_ptr<Search> search = xtb::win32::ObjectOfKind<Search>(findFile);
  if (search == nullptr) return FALSE;
  if (findFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Next(*search, findFileData) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE findFile) {
  if (xtb::win32::ObjectOfKind<Search>(findFile) == nullptr) return FALSE;
  return xtb::win32::CloseKernelHandle(findFile);
}
