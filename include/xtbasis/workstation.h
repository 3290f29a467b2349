// Where the program runs and small helpers around the user's workstation:
// the workstation and terminal-server names, the remote-session questions,
// the client drives redirected into a remote session, a beep that reaches a
// remote user, and the value list of an SQL IN clause.
//
// On Linux a "terminal server" is a machine that serves remote desktops
// (xrdp); a "remote session" is an SSH login, an xrdp session or an X display
// on another host. docs/workstation.md says what each answer means.
#pragma once

#include "platform/api.h"
#include "platform/cstring.h"
#include "platform/wintypes.h"

#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The machine the user sits at: the remote client's name in a remote
// session, else this computer's name.
XTBASIS_C_API CString GetWorkstation();
// This computer's name (at most 15 characters).
XTBASIS_C_API CString GetTerminalServer();
// The value list of an SQL IN clause: `text` cut into pieces of `width`
// characters, each quoted, joined by commas ('AB','CD','E'). A width of 0 or
// less gives one piece; an empty text an empty list.
XTBASIS_C_API CString MakeInCall(const CString& text, int width);

#ifdef __clang__
#pragma clang diagnostic pop
#endif

// False outside a remote session. In one: true, and the given outputs get
// this computer's name, the client's name and the session number.
XTBASIS_C_API bool IsTerminalClient(CString* computerName, CString* clientName, DWORD* sessionId);
// True on a machine that serves remote desktops, when the program itself
// does not run in a remote session.
XTBASIS_C_API bool IsTerminalServer();
// The client drive letters redirected into this session (bit 0 = A ... bit
// 25 = Z); 0 outside a remote session or when none are redirected.
XTBASIS_C_API DWORD GetTerminalDrives();
// The visible top-level window whose title equals `title` in any case
// (exact), or else begins with it, the one nearest in length winning; with
// `ownProcess` only this process's windows, without it only other
// processes'. Null when none matches or there is no display.
XTBASIS_C_API HWND FindAWindow(const char* title, bool exact, bool ownProcess);
// As FindAWindow over the windows of every process whose class (WM_CLASS)
// equals `className` exactly.
XTBASIS_C_API HWND FindAWindowClass(const char* className, const char* title, bool exact);
// Puts `text` on the clipboard (a null text only empties it). The text stays
// there after the call, held by a thread of this process, until another
// program puts something there. False without a display.
XTBASIS_C_API bool CopyToClipboard(HWND owner, const char* text);

// Appends `fill` characters to `text` so that `text` followed by `suffix`,
// drawn in `font` (an X font; null: the display's default font, as X
// windows have none of their own), reaches `width` pixels, or -`width`
// fill-character widths when `width` is negative. The fill character's
// width is measured once per process. Without a display the text stays.
XTBASIS_C_API void FormatWindowText(HWND window, CString& text, int width, const CString& suffix, HFONT font,
                                    char fill);

// MessageBeep(type) at the machine; in a remote session a 440 Hz tone of
// 150 ms, which travels to the user's display.
XTBASIS_C_API BOOL XTBeep(unsigned int type);
