// A file descriptor owned by an object, for the security functions' files.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace xtb::security {

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
  // Creates or truncates `path`; refuses a path that names the file `source`
  // has open, so a file is never truncated under its own reader.
  bool Create(const char* path, const File& source);
  bool IsOpen() const { return m_fd >= 0; }

  // Reads until `size` bytes or the end; the count, or -1 on an error.
  ssize_t Read(uint8_t* buffer, size_t size);
  bool ReadExactly(uint8_t* buffer, size_t size) { return Read(buffer, size) == static_cast<ssize_t>(size); }
  bool Write(const uint8_t* buffer, size_t size);
  bool Seek(off_t offset);
  // The file's length, or -1.
  off_t Length() const;
  bool Close();

 private:
  int m_fd = -1;
};

}  // namespace xtb::security
