// The mail folder and the files made in it. Every user's programs write the
// folder, so everything in it goes through one checked descriptor of it
// (os::Folder) and never through a name planted there.
#pragma once

#include <string>

#include "folder.h"

namespace xtb::os {

// The mail folder (MailFolder()), made with mode 1777 when missing, opened
// without following a link in its place, and used only when nobody but its
// owner, this account or root, can swap its entries; not open otherwise,
// with the last error set (ERROR_ACCESS_DENIED for a folder that fails the
// check). Each call opens it anew, so that a changed setting takes effect.
os::Folder OpenMailFolder();

// Opens for reading and writing the regular file `name` of the folder,
// creating it for every user (mode 0666) when missing: by the rules of
// os::Folder::OpenEntry (no link followed, one name only, a pipe never
// waited for). Not open on failure, with the last error set and the reason
// in `refusal`.
os::Fd OpenSharedFile(const os::Folder& folder, const std::string& name, std::string& refusal);

// The last error and the reason text for an os::Folder error `error` met at
// the entry `name`; false, for returning.
bool Refuse(int error, const std::string& name, std::string& refusal);

}  // namespace xtb::os
