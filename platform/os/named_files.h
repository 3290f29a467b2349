// Files opened by name with the choices of Windows' CreateFile (create new,
// create or truncate, open, open or create, truncate), their sharing modes
// (share_locks.h), and the positioned work on the descriptor: position,
// length, one read, write-back to the disk. Paths are read as SystemPath
// reads them; a failure sets errno and the Windows last error.
#pragma once

#include <cstddef>
#include <cstdint>

#include "file.h"
#include "share_locks.h"

namespace xtb::os {

enum class Disposition { CreateNew, CreateAlways, OpenExisting, OpenAlways, TruncateExisting };

struct NamedOpen {
  ShareRequest access;  // read and write: data access; neither: facts only
  Disposition disposition = Disposition::OpenExisting;
  unsigned createMode = 0666;  // a new file's mode, less the umask
  bool writeThrough = false;   // every write reaches the disk before it returns
};

// Opens the file `path` as `how` says; `existed` tells whether the name was
// there already. A folder is refused (EISDIR), a pipe is never waited for.
// A file is truncated only after its sharing modes let this open in, so an
// open that is refused (EAGAIN) changes nothing.
Fd OpenNamed(const char* path, const NamedOpen& how, bool& existed);

enum class SeekOrigin { Begin, Current, End };
// Moves the position of `fd`; the new position, or -1 (EINVAL for one that
// would be negative).
int64_t MovePosition(int fd, int64_t offset, SeekOrigin origin);
// One read of at most `size` bytes, repeated only when interrupted: the
// count (0 at the end), or -1.
long ReadOnce(int fd, void* buffer, size_t size);
bool SetLength(int fd, int64_t length);
// Writes what the system holds of the file back to the disk.
bool SyncToDisk(int fd);

enum class FileKind { Disk, Character, Pipe, Unknown };
FileKind KindOf(int fd);

}  // namespace xtb::os
