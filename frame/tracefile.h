// Appending a record to a trace file: rotation and the exclusive open.
//
// A record is one write to the file opened with O_APPEND, so records of
// writers that share no lock (other accounts, other machines) never
// interleave; with the file kept open, a record costs the lock, one fstat
// (the size for the rotation, the link count for a deleted file) and the
// write. The exclusive open a record takes on Windows becomes a lock taken
// without waiting, and whoever finds it taken loses the record:
//   - threads of one process: the open file's entry is busy;
//   - processes of one account on one machine: the file's slot of the
//     account's lock table is taken (os/machine_locks.h; no system call);
//   - on a file system that other machines may write, and wherever the
//     table cannot be had or trusted: the file's flock.
// Rotation takes the flock as well and checks under it that the path still
// names the open file, so writers that do not share the table (another
// container's) never rotate twice; a file that another writer's rotation
// moved away is noticed at once, being too large.
#pragma once

#include <string>
#include <string_view>

namespace xtb {

namespace os {
class MachineLockTable;
}

// A trace file above this size is moved to its name with ".1" appended
// before the next record is written.
constexpr long long kTraceRotateSize = 1400000;

// Appends `bytes` to `path`, rotating first when the file is too large. The
// file is locked exclusively without waiting: when another writer (a thread
// of this process or another process) holds it, or it cannot be opened (a
// symbolic link, a second name of another file or anything but a regular
// file in its place counts as that), the record is dropped and false
// returned. A few recently used files stay open
// between records; a file deleted or moved away is noticed before the next
// record (moved by other means than rotation: within a second).
bool AppendTraceRecord(std::string_view path, std::string_view bytes);

// The lock table that every trace writer of this account shares (see
// os/machine_locks.h), mapped on first use for the life of the process, and
// where it lives.
os::MachineLockTable& TraceLockTable();
std::string TraceLockTablePath();
// Once per process, after the table was refused (a name another account
// planted, a table of the wrong size ...): the text that says which and
// why, for a record of its own; empty before that and ever after. The
// records meanwhile are written under the files' own locks.
std::string TakeLockTableRefusal();

}  // namespace xtb
