// Byte ranges of a file held by one open against every other, as Windows'
// LockFile holds them, with advisory record locks of the open file
// description. Like the sharing marks (share_locks.h) a lock is marked
// first and then looked at: a shared record lock over the range, and a
// question whether another open holds any lock in it. Two opens that race
// for one range may both be refused, never both let in. Only opens that
// take these locks are stopped; reads and writes are not.
#pragma once

#include <cstdint>

namespace xtb::os {

// Holds `length` bytes from `offset` of the open file `fd` (open for
// reading). False with EAGAIN when another open holds a lock in that range;
// nothing is held then. Ranges are cut below the sharing marks, which lie
// beyond any file's data; a range that keeps no byte, a descriptor open for
// writing only and a file system that keeps no record locks let every lock
// in. The caller keeps its own ranges
// apart: two of one open would merge.
bool LockRange(int fd, uint64_t offset, uint64_t length);
// Lets go of a range that LockRange took.
bool UnlockRange(int fd, uint64_t offset, uint64_t length);

}  // namespace xtb::os
