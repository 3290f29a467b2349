#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/winapp.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "os/environment.h"

namespace {

// The buttons of each MB_ type value, in the order they stand in the box.
const std::vector<int>& ButtonsOf(UINT type) {
  static const std::array<std::vector<int>, 7> kSets = {{
      {IDOK},
      {IDOK, IDCANCEL},
      {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},
      {IDYES, IDNO},
      {IDRETRY, IDCANCEL},
      {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
  }};
  const UINT set = type & MB_TYPEMASK;
  return kSets[set < kSets.size() ? set : 0];
}

std::atomic<XTPresenter*> g_presenter{nullptr};

bool HasDesktop() {
  return xtb::os::NonEmptyEnvironmentValue("DISPLAY") != nullptr ||
         xtb::os::NonEmptyEnvironmentValue("WAYLAND_DISPLAY") != nullptr;
}

XTPresenter& DefaultPresenter() {
  static XTHeadlessPresenter headless;
  static XTDesktopPresenter desktop;
  return HasDesktop() ? static_cast<XTPresenter&>(desktop) : headless;
}

}  // namespace

XTPresenter::~XTPresenter() = default;

int XTDefaultButton(UINT type) {
  const auto& buttons = ButtonsOf(type);
  const size_t index = (type & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons.front();
}

bool XTHasButton(UINT type, int id) {
  if (id == IDHELP) return (type & MB_HELP) != 0;
  for (int button : ButtonsOf(type))
    if (button == id) return true;
  return false;
}

XTPresenter* SetXTPresenter(XTPresenter* presenter) { return g_presenter.exchange(presenter); }

XTPresenter& GetXTPresenter() {
  XTPresenter* presenter = g_presenter.load();
  return presenter ? *presenter : DefaultPresenter();
}

BOOL XTShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) {
  return GetXTPresenter().ShowSaveFileDialog(request, path);
}

BOOL XTShowFolderDialog(const XTFolderRequest& request, CString& folder) {
  return GetXTPresenter().ShowFolderDialog(request, folder);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  // Windows shows "Error" when no caption is given.
  return GetXTPresenter().ShowMessageBox(owner, text, caption ? caption : "Error", type);
}

int AfxMessageBox(LPCSTR text, UINT type, UINT /*helpId*/) {
  const CWinApp* app = AfxGetApp();
  const char* caption = app && app->m_pszAppName ? app->m_pszAppName : program_invocation_short_name;
  return GetXTPresenter().ShowMessageBox(nullptr, text, caption, type);
}
