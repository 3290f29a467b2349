// The key container family's file access, all of it in this one place: a
// file descriptor owned by an object, whole-file reads and writes, and the
// locked folders of the key containers and certificate stores.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xtb::crypto::disk {

// A file descriptor owned by the object; every call reports failure by its
// result (false or -1), never by an exception.
class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool OpenRead(const char* path);
  // Opens for reading with a shared lock that shuts writers out; fails
  // without waiting when another holds the file for writing.
  bool OpenShared(const char* path);
  // Opens for reading with an exclusive lock; fails without waiting when
  // another holds the file open with a lock of either kind.
  bool OpenExclusive(const char* path);
  // Creates or truncates `path` and holds it under an exclusive lock taken
  // before it is truncated, so a file that another holds locked is left as
  // it is; refuses a path that names the file `source` has open, so a file
  // is never truncated under its own reader.
  bool CreateExclusive(const char* path, const File& source);
  bool IsOpen() const { return m_fd >= 0; }

  // Reads until `size` bytes or the end; the count, or -1 on an error.
  ssize_t Read(uint8_t* buffer, size_t size);
  bool ReadExactly(uint8_t* buffer, size_t size) { return Read(buffer, size) == static_cast<ssize_t>(size); }
  bool Write(const uint8_t* buffer, size_t size);
  // The file's length, or -1.
  off_t Length() const;
  bool Close();

 private:
  // Whether `path` names the file this object has open.
  bool Names(const char* path) const;

  int m_fd = -1;
};

// The whole file read under a shared lock; false when it cannot be opened,
// another holds it for writing, or a read fails.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes);

// Writes a file open to every user: readable and writable by all (mode
// 0666 whatever the umask), replaced as a whole so that a failed write never
// leaves a part. True only when `size` is not zero and every byte was
// written; no bytes leave an empty file.
bool WriteFileForEveryone(const char* path, const uint8_t* bytes, size_t size);

// A folder held open whose files are read and replaced under its lock: the
// key containers (mode 0700, files 0600) and the certificate stores.
class LockedFolder {
 public:
  LockedFolder() = default;
  ~LockedFolder() { Close(); }
  LockedFolder(const LockedFolder&) = delete;
  LockedFolder& operator=(const LockedFolder&) = delete;

  // Opens the folder `path`; with `create` makes it (and missing parents)
  // with `mode` first. A symbolic link in place of the folder is refused.
  bool Open(const std::string& path, bool create, mode_t mode = 0700);
  // Waits for a shared or an exclusive lock of the folder: readers of its
  // files share, writers are alone.
  bool Lock(bool exclusive);
  // A file of the folder read whole; false when missing or unreadable.
  bool ReadFile(const char* name, std::vector<uint8_t>& bytes) const;
  // Replaces the file `name` by `bytes` as a whole: a reader sees the old or
  // the new content, never a part.
  bool ReplaceFile(const char* name, const std::vector<uint8_t>& bytes, mode_t mode = 0600) const;
  bool RemoveFile(const char* name) const;
  // The names of the folder's files, in no particular order.
  std::vector<std::string> FileNames() const;
  void Close();

 private:
  int m_fd = -1;
};

bool FolderExists(const std::string& path);
// Removes the folder with its files (not its sub-folders).
bool RemoveFolder(const std::string& path);

}  // namespace xtb::crypto::disk
