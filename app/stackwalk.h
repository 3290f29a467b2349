// Call stacks through elfutils' libdwfl: the modules of a process, symbols,
// source lines, and the parameters and local variables that the DWARF
// information describes at an address.
#pragma once

#include <sys/types.h>
#include <sys/ucontext.h>

#include <functional>
#include <string>
#include <vector>

#include "crash_text.h"

struct Dwfl;
struct Dwfl_Module;

namespace xtb {

// Reads the memory of the walked process; false where it cannot.
using MemoryReader = std::function<bool(uint64_t address, void* buffer, size_t size)>;

class Symbolizer {
 public:
  // Reports the modules that `pid` has mapped now.
  explicit Symbolizer(pid_t pid);
  ~Symbolizer();
  Symbolizer(const Symbolizer&) = delete;
  Symbolizer& operator=(const Symbolizer&) = delete;

  bool IsReady() const { return m_ready; }
  // Reports the modules again: libraries loaded since are added, those
  // unloaded since are dropped, the others keep what was read of them.
  void Refresh();
  // Whether `address` lies in a module reported so far.
  bool Covers(uint64_t address) const;
  // Fills function, displacement, section, module and source line of
  // `frame.address`; a return address is looked up one byte earlier, so
  // that it names the call.
  void Describe(StackFrame& frame, bool isReturnAddress) const;

  // Walks the thread `tid` of the process from `registers` (the process is
  // read through `memory`), at most `maxFrames` frames; with variables, the
  // parameters and locals of each frame are formatted into it.
  std::vector<StackFrame> Walk(pid_t tid, const greg_t* registers, const MemoryReader& memory, bool withVariables,
                               size_t maxFrames);

 private:
  pid_t m_pid;
  Dwfl* m_dwfl = nullptr;
  bool m_ready = false;
};

}  // namespace xtb
