#include <xtbasis/folderdialog.h>
#include <xtbasis/platform/lasterror.h>

#include <algorithm>
#include <cstring>

namespace {

// What only the classic browser offers.
constexpr unsigned int kClassicOnly = BIF_DONTGOBELOWDOMAIN | BIF_BROWSEFORCOMPUTER | BIF_BROWSEFORPRINTER;

int Chosen(const CString& chosen, char* path, unsigned int pathSize) {
  if (chosen.IsEmpty()) return XTBROWSE_CANCELLED;
  if (path && pathSize > 0) {
    const size_t length = std::min<size_t>(static_cast<size_t>(chosen.GetLength()), pathSize - 1);
    std::memcpy(path, chosen.GetString(), length);
    path[length] = '\0';
  }
  return XTBROWSE_CHOSEN;
}

}  // namespace

int XTBrowseForFolder(HWND owner, const char* title, unsigned int flags, char* path, unsigned int pathSize) {
  XTFolderRequest request;
  request.owner = owner;
  request.title = title ? title : "";
  if (path && pathSize > 0) request.initialFolder = CString(path, static_cast<int>(strnlen(path, pathSize)));
  CString chosen;

  if (!(flags & kClassicOnly)) {
    request.flags = flags;
    if (XTShowFolderDialog(request, chosen)) return Chosen(chosen, path, pathSize);
    if (GetLastError() == ERROR_CANCELLED) return XTBROWSE_CANCELLED;
  }
  // The classic browser; a computer is chosen from the network without a preselection.
  request.flags = flags & BIF_BROWSEFORCOMPUTER ? flags : flags | BIF_NEWDIALOGSTYLE;
  if (flags & BIF_BROWSEFORCOMPUTER) {
    request.initialFolder.Empty();
    if (request.title.IsEmpty()) request.title = "Computer suchen";
  }
  SetLastError(0);
  if (XTShowFolderDialog(request, chosen)) return Chosen(chosen, path, pathSize);
  return GetLastError() == ERROR_CANCELLED ? XTBROWSE_CANCELLED : XTBROWSE_ERROR;
}
