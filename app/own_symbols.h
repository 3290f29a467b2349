// The symbols of this process for its own stack traces (XTStackTrace): one
// libdwfl session per process, made on the first trace and kept, so that a
// trace costs the lookups of its frames and not a new reading of the
// modules and their DWARF. XTStackTrace walks its own thread with the
// unwinder (_Unwind_Backtrace); with the names of an address remembered, a
// trace taken again at the same place costs the unwinding and the text, on
// par with backtrace_symbols (bench/app_stacktrace.cpp), source lines besides.
#pragma once

#include <string>
#include <vector>

#include "crash_text.h"

namespace xtb {

// The call-stack block (without variables) of `frames`, each address a
// return address, with function, source line or module of each. The
// session's module list is read again only when an address lies outside
// every module it knows (a library loaded since); a child of fork() makes
// its own session. Thread-safe. False when the process's modules cannot be
// read.
bool FormatOwnStack(const std::vector<StackFrame>& frames, std::string& text);

}  // namespace xtb
