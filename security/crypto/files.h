// The key container family's files: the key, signature and hash files that
// the suite's programs share (read under a shared lock, replaced as a whole
// and open to every user, secret keys excepted), and the folders of the key containers and the
// certificate stores, which only their owner or the administrator may
// write. The file work itself is the platform's (os/file.h, os/folder.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "os/folder.h"

namespace xtb::crypto::disk {

// The whole file read under a shared lock; false when it cannot be opened,
// another holds it for writing, or a read fails.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes);

// Writes a file open to every user: readable and writable by all (mode
// 0666 whatever the umask), replaced as a whole so that a failed write never
// leaves a part, and a name planted in the folder (a link) is replaced, never
// written through. True only when `size` is not zero and every byte was
// written; no bytes leave an empty file.
bool WriteFileForEveryone(const char* path, const uint8_t* bytes, size_t size);
// The same for an exported key: a public key blob or a SIMPLEBLOB (a
// session key wrapped for its receiver) is open to every user; a private or
// plain-text key, or bytes of no known blob, stay the writer's own (mode
// 0600 whatever the umask), unlike on Windows, where an exported private key
// was open to every user.
bool WriteKeyFile(const char* path, const uint8_t* bytes, size_t size);

// Makes the folder of a key container (mode 0700) or a certificate store
// (0755), with its missing parents, unless it is there; false (last error
// set) when it cannot be made or what is there is not a trusted folder.
bool MakeKeyFolder(const std::string& path, unsigned mode);
// Opens such a folder and waits for its lock: shared to read its files,
// exclusive to change them. Refused (an unopened folder, last error
// ERROR_ACCESS_DENIED) unless it is a folder, not a link, owned by this
// user or the administrator, that no one else may write: a folder someone
// else prepared could let them swap its files under the writer.
os::Folder OpenKeyFolder(const std::string& path, bool exclusive);

// A file of an open key folder replaced as a whole with `mode`.
bool ReplaceKeyFile(const os::Folder& folder, const std::string& name, const std::vector<uint8_t>& bytes,
                    unsigned mode);
// The names of the folder's files (hidden ones left out), in no order.
std::vector<std::string> FileNames(const os::Folder& folder);

// Whether `path` is a folder itself (not a link to one).
bool FolderExists(const std::string& path);
// Removes the folder with its files (not its sub-folders).
bool RemoveFolder(const std::string& path);

}  // namespace xtb::crypto::disk
