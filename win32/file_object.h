// The file behind a file HANDLE, and the one open that CreateFile and the
// framework's CFile share: access, sharing mode and disposition as Windows
// takes them, onto os::OpenNamed.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <xtbasis/platform/wintypes.h>

#include "kernel_objects.h"
#include "os/file.h"

namespace xtb::win32 {

class FileObject : public KernelObject {
 public:
  FileObject(os::Fd fd, bool read, bool write, std::string deleteOnClose)
      : m_fd(std::move(fd)), m_read(read), m_write(write), m_deleteOnClose(std::move(deleteOnClose)) {}
  ~FileObject() override;

  int Get() const { return m_fd.Get(); }
  // FALSE with ERROR_ACCESS_DENIED for a handle opened without the access.
  bool MayRead() const;
  bool MayWrite() const;

  // Windows' LockFile and UnlockFile on this open (file_locks.cpp): a range
  // that meets one held by this open or another is refused with
  // ERROR_LOCK_VIOLATION; only a range held exactly so is let go (else
  // ERROR_NOT_LOCKED).
  bool LockRange(uint64_t offset, uint64_t length);
  bool UnlockRange(uint64_t offset, uint64_t length);

 private:
  struct Range {
    uint64_t offset;
    uint64_t end;  // one past the last byte, at most 2^64 - 1
  };

  os::Fd m_fd;
  bool m_read;
  bool m_write;
  std::string m_deleteOnClose;  // the path to remove at the end, or empty
  std::mutex m_rangesGuard;
  std::vector<Range> m_ranges;  // held by LockRange, apart from each other
};

// CreateFileA's work: the new handle, or INVALID_HANDLE_VALUE with the last
// error set.
HANDLE OpenFileHandle(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                      DWORD flagsAndAttributes);

// The open file of a file handle; null with ERROR_INVALID_HANDLE.
std::shared_ptr<FileObject> FileOf(HANDLE handle);

}  // namespace xtb::win32
