#include <xtbasis/win32/shell_folders.h>

#include <cstring>
#include <string>

#include "known_folders.h"
#include "os/file.h"
#include "os/filesystem.h"

namespace {

bool IsFolder(const std::string& path) {
  xtb::os::FileFacts facts;
  return xtb::os::FactsOf(path.c_str(), facts) && facts.folder;
}

// Makes the folder and the folders on its way.
bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string step = path.substr(0, slash);
    if (!IsFolder(step) && !xtb::os::MakeFolder(step.c_str())) return false;
  }
  return IsFolder(path) || xtb::os::MakeFolder(path.c_str());
}

}  // namespace

HRESULT SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, LPSTR path) {
  if (!path) return E_INVALIDARG;
  path[0] = '\0';
  const std::optional<std::string> folder = xtb::win32::KnownFolder(csidl & ~CSIDL_FLAG_MASK);
  if (!folder || folder->size() >= MAX_PATH) return E_INVALIDARG;
  if (csidl & CSIDL_FLAG_CREATE) {
    if (!MakeFolders(*folder)) return E_FAIL;
  }
  std::memcpy(path, folder->c_str(), folder->size() + 1);
  if (csidl & CSIDL_FLAG_DONT_VERIFY) return S_OK;
  return IsFolder(*folder) ? S_OK : S_FALSE;
}

BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create) {
  return SHGetFolderPathA(owner, csidl | (create ? CSIDL_FLAG_CREATE : 0), nullptr, SHGFP_TYPE_CURRENT, path) == S_OK;
}
