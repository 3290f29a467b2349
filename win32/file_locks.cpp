// Ranges of a file locked by one handle, as LockFile and UnlockFile keep
// them: ranges of one handle never overlap, and other opens of the file are
// kept out by the record locks of os/range_locks.h.
#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/mfc_files.h>

#include "file_object.h"
#include "os/range_locks.h"

namespace xtb::win32 {

namespace {

uint64_t EndOf(uint64_t offset, uint64_t length) { return length > UINT64_MAX - offset ? UINT64_MAX : offset + length; }

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

}  // namespace

bool FileObject::LockRange(uint64_t offset, uint64_t length) {
  const Range range{offset, EndOf(offset, length)};
  std::lock_guard<std::mutex> guard(m_rangesGuard);
  const bool meetsOwn = std::any_of(m_ranges.begin(), m_ranges.end(), [&](const Range& held) {
    return range.offset < held.end && held.offset < range.end;
  });
  if (meetsOwn) return Fail(ERROR_LOCK_VIOLATION);
  if (!os::LockRange(m_fd.Get(), offset, range.end - offset)) return Fail(ERROR_LOCK_VIOLATION);
  m_ranges.push_back(range);
  return true;
}

bool FileObject::UnlockRange(uint64_t offset, uint64_t length) {
  const uint64_t end = EndOf(offset, length);
  std::lock_guard<std::mutex> guard(m_rangesGuard);
  const auto held = std::find_if(m_ranges.begin(), m_ranges.end(),
                                 [&](const Range& range) { return range.offset == offset && range.end == end; });
  if (held == m_ranges.end()) return Fail(ERROR_NOT_LOCKED);
  if (!os::UnlockRange(m_fd.Get(), offset, end - offset)) return Fail(WinErrorFromErrno(errno));
  m_ranges.erase(held);
  return true;
}

}  // namespace xtb::win32
