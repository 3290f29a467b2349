// Running other programs and waiting for them: the system's account and
// directory tools, and the process's own re-launch with more rights.
#pragma once

#include <string>
#include <vector>

namespace xtb::os {

struct ProgramRun {
  bool started = false;  // false: the program could not be started (see `output`)
  int exitCode = -1;     // the exit status; 128 + signal number when killed
  std::string output;    // what it wrote to stdout and stderr, when captured
};

// Runs argv[0] (searched on PATH when it has no '/') with `input` on its
// standard input and its standard output and error captured; waits for it.
// The input is written before the output is read, so it must be small (it
// carries a few lines such as a password, well below a pipe's buffer).
ProgramRun RunCaptured(const std::vector<std::string>& argv, const std::string& input);
// Runs it on the caller's own terminal (prompts reach the user) and waits.
ProgramRun RunOnTerminal(const std::vector<std::string>& argv);

// The folders of PATH (the system's search path when it is unset), in
// order; an empty entry, which stands for the current folder, stays empty.
std::vector<std::string> PathFolders();
// The full path of `name` on PATH (an empty entry searching the current
// folder); empty when it is not found as an executable file.
std::string FindOnPath(const std::string& name);
// The running program's path and the arguments it was started with.
std::string OwnExecutable();
std::vector<std::string> OwnArguments();

}  // namespace xtb::os
