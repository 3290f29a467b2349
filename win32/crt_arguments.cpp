#include <xtbasis/win32/crt_arguments.h>

#include <cstring>
#include <string>

#include "os/programs.h"

int __argc = 0;
char** __argv = nullptr;
char* _pgmptr = nullptr;

namespace {

// The C library hands every initialiser in .init_array the arguments of
// main, before any constructor of the program runs.
void TakeArguments(int argc, char** argv, char**) {
  __argc = argc;
  __argv = argv;
  const std::string program = xtb::os::OwnExecutable();
  _pgmptr = strdup(program.empty() && argc > 0 ? argv[0] : program.c_str());
}

__attribute__((section(".init_array"), used)) void (*const g_takeArguments)(int, char**, char**) = TakeArguments;

}  // namespace
