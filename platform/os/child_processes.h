// Child processes that a program starts and keeps a handle of: started with
// posix_spawn, or forked where the child must end with its starter (either
// way a failure to run the program is known before the start returns),
// watched through a pidfd (no SIGCHLD handler, no wait for any child but
// this one), killed through the same pidfd (never a recycled id).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace xtb::os {

struct ChildLaunch {
  std::string program;                   // the path of the file to run ('\\' read as '/')
  std::vector<std::string> arguments;    // argv, the program's own name first
  const std::vector<std::string>* environment = nullptr;  // "NAME=value" each; null: the caller's
  std::string folder;                    // the child's working folder; empty: the caller's
  int standardStreams[3] = {-1, -1, -1};  // descriptors for 0, 1, 2; -1: the caller's own
  bool nullStreams = false;              // streams given as -1 read and write /dev/null instead
  bool ownSession = false;               // the child leads a session of its own (no terminal)
  // The child is killed (SIGKILL) when the thread that started it ends,
  // however it ends (kill -9 included), also past the exec of a program
  // that execs another in its place (not one that runs set-user-id, for
  // which the system drops it): for helpers that must not outlive their
  // starter. Start it from a thread that lives as long as the child is wanted.
  bool endsWithStarter = false;
};

struct Child {
  pid_t id = -1;
  int pidfd = -1;
};

// Starts the child; 0 with `child` filled, else the errno of what failed
// (the program cannot be run: ENOENT, EACCES, ENOEXEC ...; the folder:
// ENOENT, ENOTDIR, checked before the start).
int LaunchChild(const ChildLaunch& launch, Child& child);

// Waits until the child has ended and reaps it. `code` is its exit status,
// or the number of the signal that ended it with `signalled` set.
void AwaitChildEnd(const Child& child, int& code, bool& signalled);

// Sends SIGKILL; false (errno set) when that fails. A child already reaped
// is ESRCH, never another process.
bool KillChild(const Child& child);

// Closes the pidfd (after AwaitChildEnd, or for a child left to run).
void ReleaseChild(Child& child);

// Whether `path` is a regular file (`executable`: one this process may run).
bool IsRegularFile(const std::string& path, bool executable);
// Whether `path` is a folder.
bool IsFolder(const std::string& path);

// Ends the calling process at once with `code`, without exit handlers
// (TerminateProcess on oneself).
[[noreturn]] void EndProcessNow(int code);

}  // namespace xtb::os
