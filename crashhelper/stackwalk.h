// The crash helper's walk of a crashed thread, read from outside the
// process: its frames from the registers the crash message carries, named
// by the process's symbols (app/symbolizer.h), with the parameters and local
// variables that the DWARF information describes at each.
#pragma once

#include <sys/types.h>
#include <sys/ucontext.h>

#include <functional>
#include <vector>

#include "crash_text.h"
#include "symbolizer.h"

namespace xtb {

// Reads the memory of the walked process; false where it cannot.
using MemoryReader = std::function<bool(uint64_t address, void* buffer, size_t size)>;

// Walks the thread `tid` of the process of `symbols` from `registers` (the
// process is read through `memory`), at most `maxFrames` frames; with
// variables, the parameters and locals of each frame are formatted into it.
std::vector<StackFrame> WalkThread(Symbolizer& symbols, pid_t tid, const greg_t* registers,
                                   const MemoryReader& memory, bool withVariables, size_t maxFrames);

}  // namespace xtb
