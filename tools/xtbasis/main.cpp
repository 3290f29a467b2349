#include <algorithm>
#include <cstdio>

#include "command.h"

namespace xtbtool {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

Registration::Registration(Command command) { Registry().push_back(std::move(command)); }

const std::vector<Command>& Commands() { return Registry(); }

int UsageError(const std::string& name, const std::string& message) {
  std::fprintf(stderr, "xtbasis %s: %s\n", name.c_str(), message.c_str());
  return 2;
}

}  // namespace xtbtool

int main(int argc, char** argv) {
  using namespace xtbtool;
  std::vector<Command> commands = Commands();
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  if (argc >= 2) {
    for (const Command& command : commands) {
      if (command.name == argv[1]) return command.run(Args(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "xtbasis: unknown command '%s'\n\n", argv[1]);
  }
  std::fprintf(stderr, "usage: xtbasis <command> [arguments]\n\ncommands:\n");
  for (const Command& command : commands)
    std::fprintf(stderr, "  %-10s %s\n", command.name.c_str(), command.summary.c_str());
  return 2;
}
