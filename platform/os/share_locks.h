// Windows' sharing modes between the opens of one file, as advisory locks
// taken without waiting. Each open marks what it does (reads, writes) and
// what it refuses others (reading, writing) with shared record locks of the
// open file description on four bytes far beyond any file's data, and then
// looks whether another open refuses what it does or does what it refuses.
// That is Windows' access/share matrix exactly, for every open that takes
// these locks: a writer that shares writing meets other writers, a reader
// that refuses writers meets other such readers, and one that refuses
// writers meets every writer. Programs that do not take the locks (a shell,
// an editor) are not stopped, as advisory locks go. Two opens that race
// may both be refused, never both let in: each marks before it looks.
#pragma once

namespace xtb::os {

struct ShareRequest {
  bool read = false;
  bool write = false;
  bool shareRead = true;
  bool shareWrite = true;
};

// Takes the marks of `request` on the open file `fd`, which must be open
// for reading (the marks are read locks). False with EAGAIN when another
// open conflicts; the marks then go when `fd` is closed. A file system that
// keeps no record locks (ENOLCK, EOPNOTSUPP) lets every open in.
bool TakeShareLocks(int fd, const ShareRequest& request);

}  // namespace xtb::os
