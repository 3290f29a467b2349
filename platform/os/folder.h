// Files in folders that other accounts may write (log folders, runtime
// folders, report folders, key and certificate stores). The folder is
// opened once and every entry is then reached by its name relative to it,
// never through a symbolic link, and checked to be what it should be before
// anything is written: a name planted by another user turns into a refusal,
// never into writing, reading or deleting somewhere else. Folder paths are
// read as SystemPath reads them; an entry name holding '/' or '\\' is no
// name of this folder and refused (EINVAL).
#pragma once

#include <cerrno>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "file.h"

namespace xtb::os {

// How an entry is opened and, when missing, created.
struct EntryRule {
  enum class Access { Read, Write, Append, ReadWrite };
  Access access = Access::Append;
  bool create = true;  // create the file when the name is free
  unsigned mode = 0666;  // creation mode; the umask still narrows it
  // "Everyone full access": mode 0666 whatever the umask, given to a file
  // this call created and to nothing else.
  bool everyoneFullAccess = false;
  // Refuse a file with other names (a hard link planted to another
  // account's file). A private file (a key) sets it; so does the trace file.
  bool singleLink = true;
  // Only a file this call creates: a name that is taken (by anything, a
  // planted link included) is refused with EEXIST. For files that must be
  // the writer's own, as a crash's dump.
  bool exclusive = false;
};

// What OpenEntry refused, beyond the system's own errors.
//   ELOOP   the name is a symbolic link
//   EMLINK  the file has other names and the rule asks for one
//   ENXIO   the name is no regular file (a folder, a pipe, a socket, a
//           device): the kernel's own answer for a pipe without a reader
//   ENOTSOCK  the name is no socket (RemoveStaleSocket)

class Folder {
 public:
  Folder() = default;
  // Opens the folder `path` (links within the path itself are followed: the
  // path is the administrator's choice, the names in it are not).
  // With `followLastLink` false a symbolic link in place of the folder
  // itself is refused (ELOOP or ENOTDIR): for a folder whose name lies in a
  // folder that others may write.
  explicit Folder(const std::string& path, bool followLastLink = true);
  // Opens the folder `path` as above, making it first when it is missing:
  // its missing parents with exactly `parentMode`, the folder itself with
  // exactly `mode`, whatever the umask (under umask 0 a parent made with
  // "0777 less the umask" would let every account swap what lies below).
  // A folder that was there keeps its mode; the caller checks it
  // (FactsOf(Get())). A link at the last name is refused unless
  // `followLastLink` (a folder the administrator chose, such as a store's).
  static Folder Make(const std::string& path, unsigned mode, unsigned parentMode = 0755, bool followLastLink = false);
  bool IsOpen() const { return m_fd.IsOpen(); }
  int Get() const { return m_fd.Get(); }

  // Waits up to `waitMs` for a shared or an exclusive lock of the folder
  // (readers of its files share, writers are alone); held until the folder
  // is closed. Any account that may open the folder may hold a lock on it:
  // ETIMEDOUT when the lock stayed taken.
  bool Lock(bool exclusive, uint64_t waitMs) const;
  // Calls `visit(name)` for each entry in directory order, "." and ".."
  // left out, until it returns false.
  bool List(const std::function<bool(std::string_view name)>& visit) const;

  // Opens the regular file `name` by `rule`; `error` is errno or one of the
  // refusals above. A name that is a pipe never blocks the caller.
  Fd OpenEntry(std::string_view name, const EntryRule& rule, int& error) const;
  // Makes the folder `name` in this folder with exactly `mode` (whatever
  // the umask) and opens it, a link in its place refused; `made` tells
  // whether this call made it (else it was there). Not open on failure.
  Folder MakeSubfolder(std::string_view name, unsigned mode, bool& made) const;
  // Renames and removes within the folder: a planted link is itself moved
  // or removed, never what it points to.
  bool Rename(std::string_view from, std::string_view to) const;
  bool Remove(std::string_view name) const;
  // The folder `name` in this folder, opened without following a link in
  // its place (ELOOP or ENOTDIR for anything but a folder), and its removal
  // once it is empty (ENOTDIR for a link in its place, which stays): a walk
  // through a tree by these never leaves it, whatever is planted or
  // swapped in it meanwhile.
  Folder OpenSubfolder(std::string_view name) const;
  bool RemoveSubfolder(std::string_view name) const;
  // The facts of the entry `name` itself (a link is not followed).
  bool FactsOfEntry(std::string_view name, FileFacts& facts) const;

  // The regular file `name` read whole (OpenEntry's checks, one name).
  bool ReadEntry(std::string_view name, std::vector<uint8_t>& bytes) const;
  // Replaces the entry `name` by a file of `size` bytes with exactly `mode`
  // (whatever the umask; kModeLessUmask: 0666 less the umask, as for any
  // file a program creates): written to a new file of its own beside it,
  // flushed to the disk, then given the name. A reader sees the old or the
  // new content, never a part; a planted link or a second name of another
  // file loses its name and what it pointed to stays as it was. A failure
  // leaves the old entry as it was.
  bool ReplaceEntry(std::string_view name, const void* data, size_t size, unsigned mode) const;
  // The same with the content written by `write` to the new file's
  // descriptor (false: a failed write, errno set); for a content that is
  // streamed, not held (a copy of another file).
  bool ReplaceEntryWith(std::string_view name, const std::function<bool(int fd)>& write, unsigned mode) const;

  // True when nobody but its owner, this account or root, can remove or
  // rename its entries: group and others may not write it, or it is sticky.
  // A folder that fails this cannot keep a file of ours under its name.
  bool OthersCannotSwapEntries() const;

  // Sockets in the folder (the mail endpoints). The path under which the
  // entry `name` is reached through this descriptor (/proc/self/fd/N/name):
  // short whatever the folder's own path (a socket address holds 107
  // bytes), and leading to this folder, not to one put in its place since.
  std::string EntryPath(std::string_view name) const;
  // A new socket of `type` (SOCK_DGRAM, SOCK_SEQPACKET ...) bound to the
  // free name `name` and given exactly `mode`; EADDRINUSE when the name is
  // taken (RemoveStaleSocket frees the name of a socket nobody holds).
  Fd BindSocket(std::string_view name, int type, unsigned mode, int& error) const;
  // Removes `name` when it is a socket with no other name; 0 when the name
  // is free afterwards. Anything else under the name stays as it is: ELOOP
  // for a symbolic link, EMLINK for a socket with other names, ENOTSOCK for
  // a file, pipe or folder; EPERM for another account's socket in a sticky
  // folder.
  int RemoveStaleSocket(std::string_view name) const;
  // The socket `name` itself, held by an O_PATH descriptor that a sender
  // connects through (/proc/self/fd/N): never what a link in its place
  // points to. ELOOP for a link, ENOTSOCK for anything but a socket, EMLINK
  // for a socket with other names (a second name of a socket elsewhere).
  Fd OpenSocketEntry(std::string_view name, int& error) const;

 private:
  Fd m_fd;
};

// The mode of ReplaceEntry and ReplaceWholeFile that leaves the new file's
// mode to the umask, as open(2) would.
inline constexpr unsigned kModeLessUmask = ~0u;

// `path` split at its last separator ('/' or '\\') into the folder in the
// system's form ("." when none, "/" for the root) and the name.
void SplitFolderAndName(std::string_view path, std::string& folder, std::string& name);

// ReplaceEntry for the file `path`. Where no new file can be made in its
// folder (a folder the caller may not write), the file itself is written in
// place, when OpenEntry's checks let it, and given `mode` as well.
bool ReplaceWholeFile(const char* path, const void* data, size_t size, unsigned mode);

// The text of an error of this family (the refusals above included).
std::string EntryErrorText(int error);

}  // namespace xtb::os
