// Starting a helper program from a signal handler, when nothing of the
// process (its heap, its locks) can be trusted, and letting it read this
// process from outside.
#pragma once

#include <sys/types.h>

namespace xtb::os {

// Starts `path` with `argv` (null-terminated) and the process's environment;
// the child's standard input is `inputFd`. Only system calls: safe in a
// signal handler. -1 when it cannot be started.
pid_t StartHelper(const char* path, char* const argv[], int inputFd);

// Lets the helper `pid` read this process's memory where the system
// restricts that to the process's ancestors.
void AllowReadingBy(pid_t pid);

// Waits for the child `pid` at most `timeoutMs`, then kills it. Its exit
// status, or -1 when it had to be killed. Signal-safe.
int WaitForHelper(pid_t pid, int timeoutMs);

// A pipe whose ends are closed on exec; false on failure. Signal-safe.
bool MakePipe(int fds[2]);

}  // namespace xtb::os
