// The fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP):
// handlers that run on an alternate stack, so that a thread that overflowed
// its stack is still reported, and that later code cannot silently replace.
#pragma once

#include <csignal>

namespace xtb::os {

using FatalSignalHandler = void (*)(int signo, siginfo_t* info, void* context);

// Installs `handler` for every fatal signal on the alternate stack and, from
// then on, refuses other handlers for them: sigaction() and signal() called
// by later code for one of these signals succeed without changing anything.
// Gives the calling thread its alternate stack. False when a handler cannot
// be installed.
bool InstallFatalSignalHandlers(FatalSignalHandler handler);

// Gives the calling thread an alternate signal stack unless it has one
// (threads other than the installing one call it when they start).
bool EnsureAlternateStack();

// Ends the process by `signo` with the signal's default action (a core
// where the system writes one), from inside a handler of that signal.
[[noreturn]] void DieBySignal(int signo);

}  // namespace xtb::os
