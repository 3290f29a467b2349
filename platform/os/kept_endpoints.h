// The shared folder and the endpoint sockets in it that senders reach
// (os/localsocket.h), opened and checked once and then kept open for the
// sends that follow, rather than opened and checked anew for every message.
// What is kept was checked exactly as a first send checks it; whatever is
// put at the folder's path or an endpoint's name later is checked before it
// is used.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace xtb::os {

// Calls `reach(entry)` with a descriptor (O_PATH) of the socket `fileName`
// in the folder `folderPath` and returns what it returns: a descriptor, or
// -1 with errno set, ENOENT for a socket that nobody holds. The folder is
// opened without following a link in its place and must pass
// Folder::OthersCannotSwapEntries (EACCES otherwise); the socket is opened
// as itself (Folder::OpenSocketEntry: a link, a non-socket or a socket with
// a second name is EACCES). Both are kept per folder path and account. When
// the kept socket is gone, the name is opened and checked once more, and if
// nobody holds it there either, the folder at the path is opened and
// checked anew (one removed or moved aside and made again) and the name
// looked for in it. Any number of threads may call it at the same time.
int ReachEndpoint(std::string_view folderPath, const std::string& fileName, const std::function<int(int entry)>& reach);

}  // namespace xtb::os
