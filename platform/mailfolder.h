// The mail folder and the files made in it. The folder is shared by all
// users, so everything in it is opened relative to one descriptor of the
// checked folder and never through a link planted there.
#pragma once

#include <string>

namespace xtb::local {

// The checked folder, opened (O_PATH) for *at() calls; -1 with the last error.
// Each call opens it anew, so that a changed setting takes effect.
int OpenMailFolder();

// The path under which the socket `fileName` of the folder open as `folderFd`
// is reached: through /proc/self/fd, so the folder is the one checked, and
// the path stays short whatever the folder's name.
std::string SocketPath(int folderFd, const std::string& fileName);

// Opens (creating it open to all users) the regular file `fileName` of the
// folder; never follows a link, never blocks on a FIFO. -1 on failure.
int OpenSharedFile(int folderFd, const std::string& fileName);

}  // namespace xtb::local
