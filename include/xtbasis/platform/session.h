// Where the program runs: whether the user sits at another machine (a
// remote session), and which. One definition for the whole library; the
// workstation helpers, the mail sender name and the message-box rules all
// ask here.
#pragma once

#include <string>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb {

// True when the user works from another machine: an SSH login
// (SSH_CONNECTION or SSH_CLIENT), a remote-desktop session (XRDP_SESSION),
// or an X display on another host (a thin client or X terminal: DISPLAY
// names a host that is not this one).
XTBASIS_API bool IsRemoteSession();

// The machine the user sits at in a remote session: the SSH client's or the
// display host's name (its first label, upper case, as the computer name),
// or its address when the name cannot be looked up; REMOTE_CLIENT_NAME
// overrides it (xrdp does not announce its client). Outside a remote
// session, and when nothing better is known, this computer's name.
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
