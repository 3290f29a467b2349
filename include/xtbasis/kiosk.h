// Kiosk installation: an account whose whole session is the calling program,
// with no way to switch to other programs. On Linux the session runs the
// program alone under the cage compositor, chosen for the account through
// the display manager's per-user session setting (docs/kiosk.md).
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Sets up `userName` as the running program's kiosk account, creating it
// (locally with domain "." or null, else in the directory of `domain`) when
// no account with that password exists. `created` is -1 on entry and while an
// elevated copy of the program runs (when the caller is not root), then 0 for
// an existing account and 1 for a new one. On failure `errorText` gets the
// failing step's label, a line feed and the system's message.
XTBASIS_C_API bool InstallKioskMode(char* userName, const char* password, const char* domain,
                                    const char* comment, DWORD* created, CString* errorText);
// The same for an installer: the session runs `program`, and the account
// files and session settings are those below `root` ("/" for this system,
// another folder for a system image being prepared).
XTBASIS_API bool InstallKioskModeFor(const char* program, const char* root, const char* userName,
                                     const char* password, const char* domain, const char* comment,
                                     DWORD* created, CString* errorText);
// Takes the kiosk session back from `userName` (below `root`, null for "/")
// and deletes the account when the kiosk installation had created it.
XTBASIS_API bool RemoveKioskMode(const char* root, const char* userName, CString* errorText);
