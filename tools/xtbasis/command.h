// Subcommands of the xtbasis tool register themselves here; main() dispatches.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace xtbtool {

using Args = std::vector<std::string>;

struct Command {
  std::string name;     // first word on the command line
  std::string summary;  // one line for the command list
  // What follows "usage: ", e.g. "xtbasis crc FILE"; further forms and notes
  // on lines of their own.
  std::string usage;
  std::function<int(const Args&)> run;  // gets the words after the name
};

// Called from a static object of each subcommand's file.
struct Registration {
  explicit Registration(Command command);
};

// The registered commands, sorted by name.
std::vector<Command> Commands();

// Prints "xtbasis <name>: <message>" and the command's usage to standard
// error and returns the usage exit code 2.
int UsageError(const std::string& name, const std::string& message);

// GetLastErrorString's text of the Windows number `error` for one line of
// output: without the CR LF the system's texts end with.
std::string ErrorLine(unsigned long error);

}  // namespace xtbtool
