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
// return address but the first `activations` (a frame that stands at its
// instruction, as a context's does), with function, source line or module
// of each. The
// session's module list is read again only when an address lies outside
// every module it knows (a library loaded since); a child of fork() makes
// its own session. Thread-safe. False when the process's modules cannot be
// read.
bool FormatOwnStack(const std::vector<StackFrame>& frames, std::string& text, size_t activations = 0);

// The calling thread's stack as the unwinder walks it, at most `limit`
// frames: this function's own first, then its caller's and so on, each with
// its instruction (a return address but for the first) and its stack
// pointer at that instruction.
std::vector<StackFrame> UnwindOwnStack(size_t limit);

// Fills module, section and offset (and function and source line) of
// `frame.address`, an address of this process; false when it lies in no
// module.
bool DescribeOwnAddress(StackFrame& frame);

}  // namespace xtb
