// The dump of a process as an ELF core file, the form gdb (and lldb) open
// with the program: the crashing thread's registers, the process's memory
// and the files it had mapped, read from outside the process. An ELF core
// because gdb, lldb and elfutils read it on every Linux without a converter,
// where a minidump would need tools of its own.
//
// Notes: NT_PRSTATUS of the crashing thread, NT_PRPSINFO, NT_AUXV, NT_FILE.
// Memory: all private memory, the first page of each module, and module
// data as the filter below says; pages of zeros become holes of the file.
#pragma once

#include <sys/types.h>
#include <sys/ucontext.h>

#include <string>

namespace xtb::os {
class Fd;
}

namespace xtb {

struct CoreDumpRequest {
  pid_t pid = 0;
  pid_t tid = 0;
  int signo = 0;
  const greg_t* registers = nullptr;  // the thread's registers; none: zeros
};

// Writes the core of `request.pid` into `file`. Modules' writable data is
// kept for the library's own modules (names beginning with "xt" or "r9",
// "dbdll"), the program and the dynamic linker (which list the modules for
// the debugger); of other modules it is left out, and a line
// "Excluding module data sections: <path> " goes to standard output.
bool WriteCoreDump(const os::Fd& file, const CoreDumpRequest& request);

// The module filter: true when the data of the module at `path` is kept.
bool KeepsModuleData(const std::string& path);

}  // namespace xtb
