// Files in folders that other accounts may write (log folders, runtime
// folders, report folders, key and certificate stores). The folder is
// opened once and every entry is then reached by its name relative to it,
// never through a symbolic link, and checked to be what it should be before
// anything is written: a name planted by another user turns into a refusal,
// never into writing, reading or deleting somewhere else.
#pragma once

#include <cerrno>
#include <string>
#include <string_view>

#include "file.h"

namespace xtb::os {

// How an entry is opened and, when missing, created.
struct EntryRule {
  enum class Access { Read, Write, Append };
  Access access = Access::Append;
  bool create = true;  // create the file when the name is free
  unsigned mode = 0666;  // creation mode; the umask still narrows it
  // "Everyone full access": mode 0666 whatever the umask, given to a file
  // this call created and to nothing else.
  bool everyoneFullAccess = false;
  // Refuse a file with other names (a hard link planted to another
  // account's file). A private file (a key) sets it; so does the trace file.
  bool singleLink = true;
};

// What OpenEntry refused, beyond the system's own errors.
//   ELOOP   the name is a symbolic link
//   EMLINK  the file has other names and the rule asks for one
//   ENXIO   the name is no regular file (a folder, a pipe, a socket, a
//           device): the kernel's own answer for a pipe without a reader

class Folder {
 public:
  Folder() = default;
  // Opens the folder `path` (links within the path itself are followed: the
  // path is the administrator's choice, the names in it are not).
  explicit Folder(const std::string& path);
  bool IsOpen() const { return m_fd.IsOpen(); }
  int Get() const { return m_fd.Get(); }

  // Opens the regular file `name` by `rule`; `error` is errno or one of the
  // refusals above. A name that is a pipe never blocks the caller.
  Fd OpenEntry(std::string_view name, const EntryRule& rule, int& error) const;
  // Renames and removes within the folder: a planted link is itself moved
  // or removed, never what it points to.
  bool Rename(std::string_view from, std::string_view to) const;
  bool Remove(std::string_view name) const;
  // The facts of the entry `name` itself (a link is not followed).
  bool FactsOfEntry(std::string_view name, FileFacts& facts) const;

 private:
  Fd m_fd;
};

// `path` split at its last '/' into the folder ("." when none, "/" for the
// root) and the name.
void SplitFolderAndName(std::string_view path, std::string& folder, std::string& name);

// The text of an error of this family (the refusals above included).
std::string EntryErrorText(int error);

}  // namespace xtb::os
