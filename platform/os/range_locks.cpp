#include "range_locks.h"

#include <fcntl.h>

#include <cerrno>

namespace xtb::os {

namespace {

// Where the sharing marks begin (share_locks.cpp): no range reaches them.
constexpr uint64_t kRangesEnd = UINT64_C(0x7FFFFFFFFFFFF000);

// The part of the range that record locks can hold; false when none is left.
bool Cut(uint64_t offset, uint64_t length, struct flock& lock) {
  if (length == 0 || offset >= kRangesEnd) return false;
  const uint64_t end = length > kRangesEnd - offset ? kRangesEnd : offset + length;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(end - offset);
  return true;
}

bool NoLocksHere(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EBADF; }

bool Set(int fd, struct flock lock, short type) {
  lock.l_type = type;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

bool LockRange(int fd, uint64_t offset, uint64_t length) {
  struct flock range {};
  if (!Cut(offset, length, range)) return true;
  if (!Set(fd, range, F_RDLCK)) return NoLocksHere(errno);
  struct flock probe = range;
  probe.l_type = F_WRLCK;
  if (fcntl(fd, F_OFD_GETLK, &probe) != 0) {
    const int error = errno;
    Set(fd, range, F_UNLCK);
    return NoLocksHere(error);
  }
  if (probe.l_type == F_UNLCK) return true;
  Set(fd, range, F_UNLCK);
  errno = EAGAIN;
  return false;
}

bool UnlockRange(int fd, uint64_t offset, uint64_t length) {
  struct flock range {};
  return !Cut(offset, length, range) || Set(fd, range, F_UNLCK) || NoLocksHere(errno);
}

}  // namespace xtb::os
