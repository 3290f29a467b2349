// Runs the xtbasis program with arguments and collects its exit code and
// its output (standard output and error together).
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ToolRun {
  int status;
  std::string output;
};

// `environment` is put before the program, e.g. "TZ=Europe/Berlin".
inline ToolRun RunTool(const std::string& arguments, const std::string& environment = "") {
  const std::string command = environment + " '" + XTB_TOOL_PATH + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  ToolRun run{0, ""};
  char buffer[512];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
