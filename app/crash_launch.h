// The crashing side of the crash helper: the one message block of the
// process, and handing it to a helper started for it.
//
// The fatal-signal handler (crashreport.cpp, on the alternate stack of
// os/signals.h) allocates nothing: the process keeps its message ready (file
// names, reporter settings, computer name), and the handler adds the signal
// and the faulting thread's registers, starts the helper with a raw clone
// and execve (os/helper_process.h), lets it read this process
// (PR_SET_PTRACER), writes the message into its standard input and waits a
// bounded time. Then the action in place before Init runs (a sanitizer's),
// else the process dies by the signal. A fault inside the handler, or a
// second thread crashing meanwhile, ends the process at once.
#pragma once

#include "crash_message.h"

namespace xtb {

// The process's message block: file names and reporter settings are kept
// here ahead of a crash, since the signal handler must not allocate.
CrashMessage& ProcessCrashMessage();

// Sets the helper program (XTBASIS_CRASH_HELPER, else the installed one);
// called before the first crash.
void PrepareCrashHelper();

// Starts the helper, lets it read this process and hands it `message`;
// waits for it to finish (bounded). Signal-safe. False when it could not
// be started or did not finish.
bool RunCrashHelper(const CrashMessage& message);

// Copies `text` into a fixed field, cut to fit.
void CopyField(char* field, size_t size, const char* text);
template <size_t N>
void CopyField(char (&field)[N], const char* text) {
  CopyField(field, N, text);
}

}  // namespace xtb
