// The dispatcher of the xtbasis tool as users meet it: help on standard
// output with exit code 0, mistakes on standard error with exit code 2.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace {

// The command names of the list that "xtbasis help" prints.
std::vector<std::string> ListedCommands(const std::string& list) {
  std::vector<std::string> names;
  std::istringstream lines(list.substr(list.find("commands:\n") + 10));
  std::string line;
  while (std::getline(lines, line) && line.rfind("  ", 0) == 0) names.push_back(line.substr(2, line.find(' ', 2) - 2));
  return names;
}

bool EndsWithNewline(const std::string& text) { return !text.empty() && text.back() == '\n'; }

TEST(ToolHelp, HelpWordsPrintTheCommandListOnStandardOutput) {
  for (const char* word : {"help", "--help", "-h"}) {
    const ToolRun run = RunToolSplit(word);
    EXPECT_EQ(run.status, 0) << word;
    EXPECT_TRUE(run.errors.empty()) << word << ": " << run.errors;
    EXPECT_NE(run.output.find("usage: xtbasis COMMAND"), std::string::npos) << word;
    EXPECT_GE(ListedCommands(run.output).size(), 10u) << run.output;
    EXPECT_TRUE(EndsWithNewline(run.output));
  }
  const ToolRun bare = RunToolSplit("");
  EXPECT_EQ(bare.status, 2);
  EXPECT_TRUE(bare.output.empty());
  EXPECT_EQ(ListedCommands(bare.errors), ListedCommands(RunToolSplit("help").output));
}

TEST(ToolHelp, EveryCommandExplainsItselfBothWays) {
  const std::vector<std::string> commands = ListedCommands(RunToolSplit("help").output);
  ASSERT_FALSE(commands.empty());
  for (const std::string& name : commands) {
    const ToolRun asked = RunToolSplit(name + " --help");
    EXPECT_EQ(asked.status, 0) << name;
    EXPECT_TRUE(asked.errors.empty()) << name << ": " << asked.errors;
    EXPECT_EQ(asked.output.rfind("usage: xtbasis " + name, 0), 0u) << asked.output;
    EXPECT_TRUE(EndsWithNewline(asked.output)) << name;
    EXPECT_EQ(asked.output.find("\n\n"), std::string::npos) << name;
    EXPECT_EQ(RunToolSplit("help " + name).output, asked.output) << name;
    EXPECT_EQ(RunToolSplit(name + " -h").output, asked.output) << name;
  }
}

TEST(ToolHelp, MistakesGoToStandardErrorWithTheUsage) {
  const ToolRun missing = RunToolSplit("crc");
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(missing.output.empty());
  EXPECT_EQ(missing.errors, "xtbasis crc: needs one FILE\nusage: xtbasis crc FILE\n");

  const ToolRun several = RunToolSplit("date nonsense");
  EXPECT_EQ(several.status, 2);
  EXPECT_EQ(several.errors.rfind("xtbasis date: unknown subcommand 'nonsense'\nusage: xtbasis date correct", 0), 0u)
      << several.errors;
  EXPECT_TRUE(EndsWithNewline(several.errors));

  const ToolRun unknown = RunToolSplit("frobnicate --help");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(unknown.output.empty());
  EXPECT_NE(unknown.errors.find("unknown command 'frobnicate'"), std::string::npos);
  EXPECT_EQ(RunToolSplit("help frobnicate").status, 2);
}

}  // namespace
