// The process and the calling thread: their ids, the cached ids that hot
// paths use, and what must happen around fork().
#pragma once

#include <cstdint>
#include <string>

namespace xtb::os {

uint32_t ProcessId();
// The kernel's id of the calling thread (as `ps -L` shows it).
uint32_t ThreadId();
// The same, remembered: right in a child of fork() too, without a system
// call per use.
uint32_t CachedProcessId();
uint32_t CachedThreadId();
// The effective user, who owns what the process creates.
uint32_t EffectiveUserId();
// The user who started the process (differs from the effective one only in
// programs that change their user).
uint32_t RealUserId();
// The login name of the user the process runs for (its real user), or
// "uid" and the number when the system knows no name for it.
std::string UserName();
// The home folder the account database gives that user; empty when it
// knows none.
std::string AccountHomeFolder();

// Runs `prepare` in the forking thread before fork(), `parent` in the
// parent and `child` in the child after it (any may be null); false when
// the handlers cannot be registered.
bool OnFork(void (*prepare)(), void (*parent)(), void (*child)());

}  // namespace xtb::os
