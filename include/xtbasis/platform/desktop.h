// The user's desktop (X11, loaded at run time): its top-level windows and
// the clipboard. Without a display every call fails cleanly (empty list,
// false with ERROR_NOT_SUPPORTED or ERROR_NOT_READY).
#pragma once

#include <string>
#include <vector>

#include <xtbasis/platform/wintypes.h>

namespace xtb::desktop {

struct TopWindow {
  HWND window;            // the X window's id
  std::string title;      // _NET_WM_NAME (UTF-8, as 1252) or WM_NAME
  std::string className;  // the class part of WM_CLASS
  DWORD processId;        // _NET_WM_PID, 0 when unknown
};

// The visible top-level windows in the window manager's order
// (_NET_CLIENT_LIST), or the root window's mapped children where no window
// manager keeps that list.
std::vector<TopWindow> VisibleTopWindows();

// The width in pixels of `text` (1252) drawn in `font` (an X font, as
// XFontStruct*), or when it is null in the display's default font; -1
// without a display.
int TextWidth(HFONT font, const std::string& text);

// Puts text (code page 1252) on the clipboard. The X clipboard lives in its
// owner: a thread of this process keeps a connection and hands the text to
// whoever asks, until another program takes the clipboard. An empty
// `text` with `clear` set only gives up the clipboard.
bool SetClipboardText(const std::string& text, bool clear);

}  // namespace xtb::desktop
