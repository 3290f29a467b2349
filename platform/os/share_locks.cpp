#include "share_locks.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdint>

namespace xtb::os {

namespace {

// The four mark bytes; far beyond the data, so that they never meet a lock
// a program takes on its bytes.
constexpr int64_t kMarks = INT64_C(0x7FFFFFFFFFFFF000);
enum Mark { kReads = 0, kWrites = 1, kRefusesReading = 2, kRefusesWriting = 3 };

bool Place(int fd, Mark mark) {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kMarks + mark;
  lock.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whether another open file description holds `mark`; false also when the
// question cannot be asked (errno tells).
bool HeldByAnother(int fd, Mark mark, bool& asked) {
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kMarks + mark;
  probe.l_len = 1;
  asked = fcntl(fd, F_OFD_GETLK, &probe) == 0;
  return asked && probe.l_type != F_UNLCK;
}

bool NoLocksHere(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS; }

}  // namespace

bool TakeShareLocks(int fd, const ShareRequest& request) {
  struct Pair {
    bool taken;
    Mark mark;
    Mark against;  // what another open holds that conflicts with `mark`
  };
  const Pair pairs[] = {
      {request.read, kReads, kRefusesReading},
      {request.write, kWrites, kRefusesWriting},
      {!request.shareRead, kRefusesReading, kReads},
      {!request.shareWrite, kRefusesWriting, kWrites},
  };
  for (const Pair& pair : pairs) {
    if (pair.taken && !Place(fd, pair.mark)) return NoLocksHere(errno);
  }
  // Only now look at the others: of two opens that race, at least one sees
  // the other's marks.
  for (const Pair& pair : pairs) {
    if (!pair.taken) continue;
    bool asked = false;
    if (HeldByAnother(fd, pair.against, asked)) {
      errno = EAGAIN;
      return false;
    }
    if (!asked) return NoLocksHere(errno);
  }
  return true;
}

}  // namespace xtb::os
