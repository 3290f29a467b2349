// Names in the file system: folders listed, made and removed, files
// created, removed and given permissions, and what kind of file system
// holds a file. Paths are read as SystemPath reads them ('\\' as '/'); a
// failure is told by errno and the Windows last error.
#pragma once

#include <cstdint>
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
// Gives `path` (a link followed) its modification and access times, in
// seconds since 1970; a time below 0 stays as it is.
bool SetTimes(const char* path, int64_t modifiedSeconds, int64_t accessedSeconds);
// Makes `path` the working folder of the process.
bool SetCurrentFolder(const char* path);

// Gives the file or folder `from` the name `to`; a name that is taken is
// replaced only with `replace` (EEXIST otherwise, also where the file
// system cannot tell atomically). EXDEV when the two lie on different file
// systems.
bool MovePath(const char* from, const char* to, bool replace);
// Copies the regular file `from` to `to`: content, mode and modification
// time. With `failIfExists` the name `to` must be free (EEXIST) and the copy
// is a new file of its own; else the copy is written beside `to` and
// renamed over it (Folder::ReplaceEntryWith): a reader sees the old or the
// new file, and a link planted at `to` loses its name, its target is not
// written. A `to` without write permission is refused (EACCES), and so is a
// copy of a file onto itself (EAGAIN, a sharing conflict).
bool CopyWholeFile(const char* from, const char* to, bool failIfExists);
// Writes the folder that holds `path` back to the disk, so that a rename
// in it survives a crash.
bool SyncFolderOf(const char* path);

}  // namespace xtb::os
