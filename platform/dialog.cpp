#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/lasterror.h>

#include <bitset>

namespace {

thread_local HWND t_focus = nullptr;
thread_local std::bitset<256> t_keysDown;

bool IsTabStop(HWND window) {
  const DWORD style = window->GetStyle();
  return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

}  // namespace

HWND__::~HWND__() = default;

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  switch (message) {
    case WM_GETDLGCODE:
      return window->GetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case EM_SETSEL:
      window->SetSel(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case WM_SETFOCUS:
      SetFocus(window);
      return 0;
    default:
      return 0;
  }
}

HWND SetFocus(HWND window) {
  HWND previous = t_focus;
  t_focus = window;
  if (window) window->OnSetFocus();
  return previous;
}

HWND GetFocus(void) { return t_focus; }

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!dialog) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const int count = dialog->GetChildCount();
  int start = -1;
  for (int i = 0; i < count; ++i)
    if (dialog->GetChild(i) == control) start = i;
  if (start < 0) start = previous ? 0 : count - 1;  // so that the first step lands on the first (last) child
  for (int step = 1; step <= count; ++step) {
    const int index = ((previous ? start - step : start + step) % count + count) % count;
    HWND candidate = dialog->GetChild(index);
    if (candidate && IsTabStop(candidate)) return candidate;
  }
  return nullptr;
}

SHORT GetKeyState(int virtualKey) {
  return virtualKey >= 0 && virtualKey < 256 && t_keysDown[static_cast<size_t>(virtualKey)]
             ? static_cast<SHORT>(0x8000)
             : 0;
}

void XTSetKeyState(int virtualKey, BOOL down) {
  if (virtualKey >= 0 && virtualKey < 256) t_keysDown[static_cast<size_t>(virtualKey)] = down != 0;
}
