// The dispatcher: "xtbasis COMMAND ARGUMENTS...". Help goes to standard
// output with exit code 0 ("xtbasis help", "xtbasis --help", "xtbasis help
// COMMAND", "xtbasis COMMAND --help"); mistakes go to standard error with
// exit code 2.
#include <algorithm>
#include <cstdio>
#include <string>

#include <xtbasis/errortext.h>

#include "command.h"

namespace xtbtool {

namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

const Command* Find(const std::string& name) {
  for (const Command& command : Registry())
    if (command.name == name) return &command;
  return nullptr;
}

bool IsHelp(const std::string& word) { return word == "help" || word == "--help" || word == "-h"; }

// The usage text, ending with exactly one newline whatever the command wrote.
void PrintUsage(FILE* out, const Command& command) {
  std::string text = command.usage;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  std::fprintf(out, "usage: %s\n", text.c_str());
}

void PrintCommandList(FILE* out) {
  std::fprintf(out,
               "usage: xtbasis COMMAND [ARGUMENTS...]\n"
               "       xtbasis help [COMMAND]\n\ncommands:\n");
  for (const Command& command : Commands())
    std::fprintf(out, "  %-10s %s\n", command.name.c_str(), command.summary.c_str());
  std::fprintf(out, "\n\"xtbasis COMMAND --help\" shows the arguments of a command.\n");
}

}  // namespace

Registration::Registration(Command command) { Registry().push_back(std::move(command)); }

std::vector<Command> Commands() {
  std::vector<Command> commands = Registry();
  std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
  return commands;
}

std::string ErrorLine(unsigned long error) {
  std::string text = GetLastErrorString(nullptr, static_cast<DWORD>(error)).GetString();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

int UsageError(const std::string& name, const std::string& message) {
  std::fprintf(stderr, "xtbasis %s: %s\n", name.c_str(), message.c_str());
  if (const Command* command = Find(name)) PrintUsage(stderr, *command);
  return 2;
}

}  // namespace xtbtool

int main(int argc, char** argv) {
  using namespace xtbtool;
  const Args args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintCommandList(stderr);
    return 2;
  }
  if (IsHelp(args[0]) && args.size() == 1) {
    PrintCommandList(stdout);
    return 0;
  }
  // "xtbasis help COMMAND" and "xtbasis COMMAND --help"
  const bool asksHelp = IsHelp(args[0]) || (args.size() == 2 && (args[1] == "--help" || args[1] == "-h"));
  const std::string& name = IsHelp(args[0]) ? args[1] : args[0];
  const Command* command = Find(name);
  if (command == nullptr) {
    std::fprintf(stderr, "xtbasis: unknown command '%s'\n\n", name.c_str());
    PrintCommandList(stderr);
    return 2;
  }
  if (asksHelp) {
    if (IsHelp(args[0]) && args.size() > 2) return UsageError("help", "takes one COMMAND");
    PrintUsage(stdout, *command);
    return 0;
  }
  return command->run(Args(args.begin() + 1, args.end()));
}
