// Subcommands of the xtbasis tool register themselves here; main() dispatches.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace xtbtool {

using Args = std::vector<std::string>;

struct Command {
  std::string name;     // first word on the command line
  std::string summary;  // one line for the usage text
  std::function<int(const Args&)> run;  // gets the words after the name
};

// Called from a static object of each subcommand's file.
struct Registration {
  explicit Registration(Command command);
};

const std::vector<Command>& Commands();

// Prints "xtbasis <name>: <message>" to stderr and returns the usage exit code.
int UsageError(const std::string& name, const std::string& message);

}  // namespace xtbtool
