// Where the program runs: the workstation and terminal-server names, the
// remote-session questions, the client drives redirected into a remote
// session, and a beep that reaches a remote user.
//
// On Linux a "terminal server" is a machine that serves remote desktops
// (xrdp); a "remote session" is an SSH login, an xrdp session or an X display
// on another host. docs/workstation.md says what each answer means.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The machine the user sits at: the remote client's name in a remote
// session, else this computer's name.
XTBASIS_C_API CString GetWorkstation();
// This computer's name (at most 15 characters).
XTBASIS_C_API CString GetTerminalServer();

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

// MessageBeep(type) at the machine; in a remote session a 440 Hz tone of
// 150 ms, which travels to the user's display.
XTBASIS_C_API BOOL XTBeep(unsigned int type);
