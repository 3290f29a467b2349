// The control-container manager and its TAB handling.
#include <atomic>
#include <xtbasis/sysbase.h>

namespace {
std::atomic<COccManager*> g_occManager{nullptr};
}

COccManager::~COccManager() = default;
BOOL COccManager::IsDialogMessage(HWND, LPMSG) { return FALSE; }
void COccManager::UIDeactivateIfNecessary(HWND, HWND) {}

BOOL CCustomOccManager::IsDialogMessage(HWND dialog, LPMSG msg) {
  if (!msg || msg->message != WM_KEYDOWN || msg->wParam != VK_TAB)
    return COccManager::IsDialogMessage(dialog, msg);
  const LPARAM msgParam = reinterpret_cast<LPARAM>(msg);
  if (SendMessageA(msg->hwnd, WM_GETDLGCODE, 0, msgParam) & DLGC_WANTTAB)
    return COccManager::IsDialogMessage(dialog, msg);
  if (!dialog) return COccManager::IsDialogMessage(dialog, msg);
  const BOOL backwards = GetKeyState(VK_SHIFT) < 0;
  HWND next = GetNextDlgTabItem(dialog, msg->hwnd, backwards);
  if (!next) return TRUE;
  if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(next, EM_SETSEL, 0, -1);
  HWND previous = SetFocus(next);
  UIDeactivateIfNecessary(previous, next);
  return TRUE;
}

COccManager* AfxEnableControlContainer(COccManager* manager) {
  static COccManager fallback;
  return g_occManager.exchange(manager ? manager : &fallback);
}

COccManager* AfxGetOccManager() { return g_occManager.load(); }

void CXTSysBase::XTEnableControlContainer() {
  static CCustomOccManager manager;
  AfxEnableControlContainer(&manager);
}
