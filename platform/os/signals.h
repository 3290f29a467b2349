// The fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP):
// handlers that run on an alternate stack, so that a thread that overflowed
// its stack is still reported, and that later code cannot silently replace.
#pragma once

#include <csignal>

namespace xtb::os {

using FatalSignalHandler = void (*)(int signo, siginfo_t* info, void* context);
// Told of a refused replacement: the signal and its name ("SIGSEGV").
using RefusalObserver = void (*)(int signo, const char* name);

// Installs `handler` for every fatal signal on the alternate stack, keeping
// the actions that were in place (RunPreviousAction), and from then on
// refuses other handlers for them: sigaction() and signal() called by later
// code for one of these signals succeed without changing anything, and the
// previous action they report is `handler`'s. Gives the calling thread its
// alternate stack. False when a handler cannot be installed.
bool InstallFatalSignalHandlers(FatalSignalHandler handler);

// `observer` is told of the first refused replacement of each signal (not
// of later ones), on the thread that asked for it. It may allocate and
// lock: a replacement is asked for by ordinary code, not by a handler.
void ObserveRefusedHandlers(RefusalObserver observer);

// Runs the action that was in place for `signo` before
// InstallFatalSignalHandlers (a sanitizer's or the program's own handler);
// nothing for the default action or an ignored signal. Signal-safe.
void RunPreviousAction(int signo, siginfo_t* info, void* context);

// Gives the calling thread an alternate signal stack unless it has one.
// Every thread made through pthread_create (std::thread's, the library's
// own, a program's) gets one as it starts and gives it back as it ends
// (os/alternate_stacks.cpp); the thread that installs the handlers gets
// one then.
bool EnsureAlternateStack();

// Makes sure that a SIGBUS in a guarded shared mapping is repaired
// (guarded_mappings.h) before any other handler sees it: the fatal-signal
// handlers always ask first; without them a SIGBUS action is installed once
// that asks and otherwise runs the action it replaced. False when it cannot.
bool RepairCutMappingsOnSigbus();

// Ends the process by `signo` with the signal's default action (a core
// where the system writes one), from inside a handler of that signal.
[[noreturn]] void DieBySignal(int signo);

}  // namespace xtb::os
