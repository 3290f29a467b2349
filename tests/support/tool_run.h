// Runs the xtbasis program with arguments and collects its exit code and
// its output: standard output and error together, or each on its own.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "scratch_dir.h"

struct ToolRun {
  int status;
  std::string output;  // standard output, with standard error unless split
  std::string errors;  // standard error when split
};

namespace tool_run_detail {

inline ToolRun Run(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, "", ""};
  ToolRun run{0, "", ""};
  char buffer[512];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tool_run_detail

// `environment` is put before the program, e.g. "TZ=Europe/Berlin".
inline ToolRun RunTool(const std::string& arguments, const std::string& environment = "") {
  return tool_run_detail::Run(environment + " '" + XTB_TOOL_PATH + "' " + arguments + " 2>&1");
}

// Runs `program` (a copy of the tool, say) with standard error apart; a
// `prefix` runs it through another program (e.g. "setpriv ...").
inline ToolRun RunProgramSplit(const std::string& program, const std::string& arguments,
                               const std::string& environment = "", const std::string& prefix = "") {
  const ScratchDir dir;
  const std::string errors = dir.Path("stderr");
  ToolRun run =
      tool_run_detail::Run(environment + " " + prefix + " '" + program + "' " + arguments + " 2>'" + errors + "'");
  run.errors = ScratchDir::Read(errors);
  return run;
}

// The xtbasis program with standard error apart.
inline ToolRun RunToolSplit(const std::string& arguments, const std::string& environment = "",
                            const std::string& prefix = "") {
  return RunProgramSplit(XTB_TOOL_PATH, arguments, environment, prefix);
}
