// Where the program runs: this computer's name and whether the user sits at
// another machine (a remote session). One definition for the whole library;
// the workstation helpers, the mail sender name and the message-box rules
// all ask here.
#pragma once

#include <string>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb {

// This computer's name as Windows gives it: the host name up to its first
// dot, at most 15 characters, upper case. Empty when it cannot be read.
XTBASIS_API std::string ComputerName();

// True when the user works from another machine: an SSH login
// (SSH_CONNECTION or SSH_CLIENT), a remote-desktop session (XRDP_SESSION),
// or an X display on another host (a thin client or X terminal: DISPLAY
// names a host that is not this one).
XTBASIS_API bool IsRemoteSession();

// The machine the user sits at in a remote session: the SSH client's or the
// display host's name (its first label, upper case, as ComputerName), or its
// address when the name cannot be looked up; REMOTE_CLIENT_NAME overrides it
// (xrdp does not announce its client). Outside a remote session, and when
// nothing better is known, ComputerName().
XTBASIS_API std::string RemoteClientName();

// The login session's number (the kernel's audit session id), 0 when none.
XTBASIS_API DWORD SessionId();

// The client drives redirected into this session, as remote names
// "\\TSCLIENT\<folder>": xrdp shows each client drive as a folder of
// ~/thinclient_drives named by its letter ("C", "C:", "C_Windows").
XTBASIS_API std::vector<std::string> RedirectedDriveNames();

// True when this machine serves remote desktops (an xrdp installation).
XTBASIS_API bool OffersRemoteDesktops();

}  // namespace xtb
