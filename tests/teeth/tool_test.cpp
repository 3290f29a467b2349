// The `xtbasis teeth` subcommand, run as a program.
#include <gtest/gtest.h>

#include <string>

#include "tool_run.h"

namespace {

ToolRun Teeth(const std::string& arguments) { return RunTool("teeth " + arguments); }

TEST(TeethTool, PrintsFormsAndCounts) {
  const ToolRun run = Teeth("'14,16,26'");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("parsed:                yes\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("normal:                16,14,26\n"), std::string::npos);
  EXPECT_NE(run.output.find("database:              280400000000000000\n"), std::string::npos);
  EXPECT_NE(run.output.find("spans:                 3\n"), std::string::npos);
  EXPECT_NE(run.output.find("bridges of length 1:   2\n"), std::string::npos);
  EXPECT_NE(run.output.find("CntBridge25:           1\n"), std::string::npos);
}

TEST(TeethTool, WordsJoinAndFailuresAreReported) {
  const ToolRun joined = Teeth("11, 12");
  EXPECT_EQ(joined.status, 0) << joined.output;
  EXPECT_NE(joined.output.find("normal:                12,11\n"), std::string::npos) << joined.output;

  const ToolRun bad = Teeth("'11,12;'");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find("parsed:                no\n"), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("read before the error: 11\n"), std::string::npos) << bad.output;

  const ToolRun none = Teeth("");
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.output.find("usage"), std::string::npos);
}

}  // namespace
