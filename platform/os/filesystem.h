// Names in the file system: folders listed, made and removed, files
// created, removed and given permissions, and what kind of file system
// holds a file. Paths are read as SystemPath reads them ('\\' as '/'); a
// failure is told by errno and the Windows last error.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "file.h"

namespace xtb::os {

// Whether writers on other machines may share the file behind `fd` (a
// network file system, or one this library does not know to be local).
bool OtherMachinesMayWrite(int fd);

// Calls `visit(name)` for each entry of `folder` in directory order, "."
// and ".." left out, until it returns false. False when the folder cannot
// be read.
bool ListFolder(const std::string& folder, const std::function<bool(std::string_view name)>& visit);

// The working folder of the process.
bool CurrentFolder(std::string& folder);
bool ChangeCurrentFolder(const char* path);

// Whether `path` exists (`write` false) or may be written by this process
// as well (`write` true).
bool MayAccess(const char* path, bool write);

// Creates the file `path`, which must not exist yet (mode 0666 less the
// umask), and closes it again.
bool CreateNewFile(const char* path);
bool RemoveFile(const char* path);
bool MakeFolder(const char* path, unsigned mode = 0777);
bool RemoveFolder(const char* path);
bool SetPermissions(const char* path, unsigned mode);

}  // namespace xtb::os
