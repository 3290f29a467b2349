// The symbols of a process through elfutils' libdwfl: its modules, and the
// function, section and source line of an address. The program's own stack
// traces (own_symbols.h) and the crash helper's walk of a crashed thread
// (crashhelper/stackwalk.h) both name their frames here.
#pragma once

#include <elfutils/libdw.h>
#include <sys/types.h>

#include <cstdint>

#include "crash_text.h"

struct Dwfl;
struct Dwfl_Module;

namespace xtb {

class Symbolizer {
 public:
  // Reports the modules that `pid` has mapped now.
  explicit Symbolizer(pid_t pid);
  ~Symbolizer();
  Symbolizer(const Symbolizer&) = delete;
  Symbolizer& operator=(const Symbolizer&) = delete;

  bool IsReady() const { return m_ready; }
  pid_t Process() const { return m_pid; }
  // The libdwfl session, for a walker of the process's threads.
  Dwfl* Session() const { return m_dwfl; }
  // Reports the modules again: libraries loaded since are added, those
  // unloaded since are dropped, the others keep what was read of them.
  void Refresh();
  // Whether `address` lies in a module reported so far.
  bool Covers(uint64_t address) const;
  // Fills function, displacement, section, module and source line of
  // `frame.address`; a return address is looked up one byte earlier, so
  // that it names the call.
  void Describe(StackFrame& frame, bool isReturnAddress) const;

 private:
  pid_t m_pid;
  Dwfl* m_dwfl = nullptr;
  bool m_ready = false;
};

// The compilation unit of `module` that holds `lookup` (`bias` set to the
// module's); null when none does. Without an address table (clang writes
// none unless asked) the units are searched one by one.
Dwarf_Die* FindCompileUnit(Dwfl_Module* module, Dwarf_Addr lookup, Dwarf_Die& storage, Dwarf_Addr& bias);

}  // namespace xtb
