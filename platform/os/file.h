// Files and descriptors: the descriptor owned by an object, reads and
// writes that finish what they start, and the facts about a file that the
// families ask for. Every call reports failure by its result and leaves
// errno set, never by an exception. Calls that take a path read it as
// SystemPath reads it and set the Windows last error when they fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace xtb::os {

// A descriptor owned by the object: closed when it goes.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() { Close(); }
  Fd(Fd&& other) noexcept : m_fd(other.Release()) {}
  Fd& operator=(Fd&& other) noexcept;
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;

  int Get() const { return m_fd; }
  bool IsOpen() const { return m_fd >= 0; }
  int Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }
  // False when closing reported an error (a write-back that failed).
  bool Close();

 private:
  int m_fd = -1;
};

// Which file a name or descriptor stands for.
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
};

struct FileFacts {
  FileId id;
  int64_t size = 0;
  uint64_t links = 0;  // 0: deleted while open
  bool regular = false;
  bool folder = false;
  bool symbolicLink = false;  // only from a look that does not follow links
  bool socket = false;
  unsigned mode = 0;          // the permission bits
  uint32_t owner = 0;         // the owning user
  int64_t modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  int64_t accessedSeconds = 0;
  long accessedNanoseconds = 0;
};

// Reads until `size` bytes or the end, through interruptions and short
// reads; the count, or -1 on an error.
long ReadFull(int fd, void* buffer, size_t size);
// The same from `offset` on, leaving the file position alone (several
// threads may read one open file).
long ReadFullAt(int fd, void* buffer, size_t size, int64_t offset);
// A buffer for reading much of a file in pieces, starting at a page's
// start: the kernel copies out of the page cache at half the speed into a
// buffer that does not (as one straight from the heap, whose large blocks
// start 16 bytes into a page). Null when there is no memory for it.
struct FreeReadBuffer {
  void operator()(uint8_t* buffer) const;
};
using ReadBuffer = std::unique_ptr<uint8_t[], FreeReadBuffer>;
ReadBuffer MakeReadBuffer(size_t size);
// Writes all `size` bytes through interruptions and short writes.
bool WriteFull(int fd, const void* data, size_t size);
// The same, but bytes that are all zero become a hole in the file (a dump's
// untouched memory costs no disk space).
bool WriteFullOrHole(int fd, const void* data, size_t size);

bool FactsOf(int fd, FileFacts& facts);
// Gives the open file `fd` exactly `mode`.
bool SetMode(int fd, unsigned mode);
// The facts of what `path` names; `followLink` false describes a symbolic
// link itself.
bool FactsOf(const char* path, FileFacts& facts, bool followLink = true);
// The same for `name` relative to the open folder `folderFd`.
bool FactsAt(int folderFd, const char* name, FileFacts& facts, bool followLink);

// The whole content of the file `path`.
bool ReadWholeFile(const char* path, std::string& content);
// The whole content of the open file `fd`, read from where it stands: as
// many bytes as its length says, read into storage sized once, so that a
// secret (a key) leaves no copy behind in freed memory. False on a read
// error or when the file ended early.
bool ReadWholeFile(int fd, std::vector<uint8_t>& bytes);

// A file opened for whole-file work: read, written, positioned.
class File {
 public:
  bool OpenRead(const char* path);
  // Opens for reading with a shared lock that shuts writers out; fails
  // without waiting when another holds the file for writing.
  bool OpenShared(const char* path);
  // Opens for reading with an exclusive lock; fails without waiting when
  // another holds the file locked in either way.
  bool OpenExclusive(const char* path);
  // Creates or truncates `path`; refuses a path that names the file `source`
  // has open, so a file is never truncated under its own reader.
  bool Create(const char* path, const File& source);
  // The same, but the file is locked exclusively before it is truncated: a
  // file that another holds locked is left as it is and the call fails.
  bool CreateExclusive(const char* path, const File& source);
  int Get() const { return m_fd.Get(); }
  bool IsOpen() const { return m_fd.IsOpen(); }

  // Reads until `size` bytes or the end; the count, or -1 on an error.
  long Read(uint8_t* buffer, size_t size) { return ReadFull(m_fd.Get(), buffer, size); }
  bool ReadExactly(uint8_t* buffer, size_t size) { return Read(buffer, size) == static_cast<long>(size); }
  long ReadAt(uint8_t* buffer, size_t size, int64_t offset) const {
    return ReadFullAt(m_fd.Get(), buffer, size, offset);
  }
  bool Write(const uint8_t* buffer, size_t size) { return WriteFull(m_fd.Get(), buffer, size); }
  bool Seek(int64_t offset);
  // The file's length, or -1.
  int64_t Length() const;
  bool Close() { return m_fd.Close(); }

 private:
  bool OpenLocked(const char* path, bool exclusive);
  // Whether `path` names the file this object has open.
  bool Names(const char* path) const;

  Fd m_fd;
};

}  // namespace xtb::os
