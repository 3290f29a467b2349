// A folder that every user's programs write (sticky, as /tmp is) and the
// files made in it. Everything in it goes through one checked descriptor of
// the folder (os::Folder) and never through a name planted there.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "folder.h"

namespace xtb::os {

// The folder `path`, made with mode 1777 when missing, opened without
// following a link in its place, and used only when nobody but its owner,
// this account or root, can swap its entries; not open otherwise, with
// errno set (EACCES for a folder that fails the check).
os::Folder OpenSharedFolder(const std::string& path);

// Opens for reading and writing the regular file `name` of the folder,
// creating it for every user (mode 0666) when missing: by the rules of
// os::Folder::OpenEntry (no link followed, one name only, a pipe never
// waited for). Not open on failure, with errno set and the reason in
// `refusal`.
os::Fd OpenSharedFile(const os::Folder& folder, const std::string& name, std::string& refusal);

// Opens for reading and writing the regular file `name` of the folder that
// belongs to this account alone, creating it with mode 0600 when missing
// (OpenEntry's rules as above). A file of another account, or one that
// others may read or write, is refused (EACCES): nobody else can change or
// truncate what this returns.
os::Fd OpenPrivateFile(const os::Folder& folder, const std::string& name, std::string& refusal);

// The first word of `file` (as OpenPrivateFile gives it) mapped for every
// process of this account that maps it: a file shorter than one word grows
// to one (zero), a longer one keeps its value. Stays mapped for the rest of
// the process; null when it cannot be mapped. Only a file that no other
// account can truncate may be mapped: touching a mapping past the end of
// its file kills the process (SIGBUS).
std::atomic<uint64_t>* MapPrivateWord(const os::Fd& file);

// errno (EACCES for anything planted, EEXIST for a name in use) and the
// reason text for an os::Folder error `error` met at the entry `name`;
// false, for returning.
bool Refuse(int error, const std::string& name, std::string& refusal);

}  // namespace xtb::os
