// The dialog and control interface: an HWND points to a window object that a
// user-interface toolkit (or a test) implements. It carries what the library's
// keyboard handling works over: class name, style bits, parent and children
// in tab order, the WM_GETDLGCODE answer, text selection and focus.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

#define WS_TABSTOP 0x00010000u
#define WS_GROUP 0x00020000u
#define WS_DISABLED 0x08000000u
#define WS_VISIBLE 0x10000000u
#define WS_CHILD 0x40000000u

#define WM_SETFOCUS 0x0007u
#define WM_GETDLGCODE 0x0087u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define EM_SETSEL 0x00B1u

#define DLGC_WANTARROWS 0x0001u
#define DLGC_WANTTAB 0x0002u
#define DLGC_WANTALLKEYS 0x0004u
#define DLGC_WANTMESSAGE 0x0004u
#define DLGC_HASSETSEL 0x0008u
#define DLGC_WANTCHARS 0x0080u

#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_ESCAPE 0x1B

struct POINT {
  LONG x;
  LONG y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;

// A window: a dialog or one of its controls. The toolkit derives from it.
struct XTBASIS_API HWND__ {
  virtual ~HWND__();
  virtual CString GetClassName() const = 0;  // "Edit", "Button" ...
  virtual DWORD GetStyle() const = 0;        // WS_*
  virtual HWND GetParent() const { return nullptr; }
  // Children in tab order.
  virtual int GetChildCount() const { return 0; }
  virtual HWND GetChild(int /*index*/) const { return nullptr; }
  // The answer to WM_GETDLGCODE (DLGC_*) for the message `msg` (may be null).
  virtual UINT GetDlgCode(const MSG* /*msg*/) { return 0; }
  // EM_SETSEL: select from `first` to `last` (-1: to the end).
  virtual void SetSel(int /*first*/, int /*last*/) {}
  // The window has received the keyboard focus.
  virtual void OnSetFocus() {}
};
typedef HWND__ XTWindow;

// WM_GETDLGCODE (lParam is the MSG*, or 0), EM_SETSEL (wParam, lParam the
// range) and WM_SETFOCUS (as SetFocus) on the window; other messages give 0.
// A null window gives 0 with ERROR_INVALID_HANDLE.
XTBASIS_C_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the window the keyboard focus of the calling thread and returns the
// window that had it.
XTBASIS_C_API HWND SetFocus(HWND window);
XTBASIS_C_API HWND GetFocus(void);

// The next (previous) control of `dialog` after `control` that is a tab stop:
// WS_TABSTOP and WS_VISIBLE set, WS_DISABLED clear, searched among the
// dialog's children in tab order with wrap-around. A null or foreign
// `control` starts at the first (last) child; the control itself is returned
// when it is the only tab stop; null when there is none.
XTBASIS_C_API HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

// The key state of the calling thread as the toolkit reported it with
// XTSetKeyState: the high bit (negative value) while the key is down.
XTBASIS_C_API SHORT GetKeyState(int virtualKey);
XTBASIS_C_API void XTSetKeyState(int virtualKey, BOOL down);
