// The dump of a process as an ELF core file, the form gdb (and lldb) open
// with the program: the crashing thread's registers, the process's memory
// and the files it had mapped, read from outside the process. An ELF core
// because gdb, lldb and elfutils read it on every Linux without a converter,
// where a minidump would need tools of its own.
//
// Notes, in the order the kernel writes them: NT_PRSTATUS of the crashing
// thread, NT_PRPSINFO, NT_SIGINFO, NT_AUXV, NT_FILE, then NT_PRSTATUS of
// every other thread. Memory: all private memory, the first page of each
// module, the program's and the dynamic linker's memory but their code
// (with the list of modules, so the debugger loads the shared libraries),
// and module data as the filter below says; pages of zeros become holes of
// the file.
#pragma once

#include <sys/types.h>
#include <sys/ucontext.h>

#include <cstdint>
#include <string>
#include <vector>

#include "os/stopped_threads.h"

namespace xtb::os {
class Fd;
}

namespace xtb {

struct CoreDumpRequest {
  pid_t pid = 0;
  pid_t tid = 0;
  int signo = 0;                      // 0 for a dump on demand
  int signalCode = 0;                 // the signal's si_code and address
  uint64_t faultAddress = 0;
  const greg_t* registers = nullptr;  // the thread's registers; none: zeros
  std::vector<os::ThreadRegisters> otherThreads;
};

// Writes the core of `request.pid` into `file`. Modules' writable data is
// kept for the library's own modules (names beginning with "xt" or "r9",
// "dbdll"), the program and the dynamic linker (which lead the debugger to
// the modules); of other modules it is left out, and a line
// "Excluding module data sections: <path> " goes to standard output.
bool WriteCoreDump(const os::Fd& file, const CoreDumpRequest& request);

// The module filter: true when the data of the module at `path` is kept.
bool KeepsModuleData(const std::string& path);

}  // namespace xtb
