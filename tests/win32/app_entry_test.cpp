// The entry point as a porter meets it: a program with a global application
// object and no main() runs InitInstance with its command line, Run and
// ExitInstance, and exits with their code; a program with its own main()
// keeps it.
#include <gtest/gtest.h>

#include "tool_run.h"

namespace {

TEST(AppEntry, AProgramWithoutMainRunsItsApplicationWithTheQuotedCommandLine) {
  const ToolRun run = RunProgramSplit(XTB_APP_WITHOUT_MAIN, "'Kartei 2024.xml' -p plain '' 'say \"hi\"'");
  EXPECT_EQ(run.status, 3) << run.errors;  // InitInstance failed: ExitInstance's code
  EXPECT_NE(run.output.find("exe=app_without_main\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("cmdline=\"Kartei 2024.xml\" -p plain \"\" \"say \\\"hi\\\"\"\n"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("file=Kartei 2024.xml\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("shell=2\n"), std::string::npos) << run.output;  // /p: FilePrint
}

TEST(AppEntry, RunEndsWithTheCodeGivenToPostQuitMessage) {
  const ToolRun run = RunProgramSplit(XTB_APP_WITHOUT_MAIN, "/loop");
  EXPECT_EQ(run.status, 5) << run.errors;
  EXPECT_NE(run.output.find("cmdline=/loop\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("shell=0\n"), std::string::npos) << run.output;  // FileNew: no file named
}

TEST(AppEntry, AProgramsOwnMainIsKept) {
  const ToolRun run = RunProgramSplit(XTB_APP_OWN_MAIN, "a b");
  EXPECT_EQ(run.status, 11) << run.errors;
  EXPECT_EQ(run.output, "own main with 3 arguments\n");
}

}  // namespace
