// The text subcommands of the xtbasis tool, run as a real process.
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_run.h"

TEST(TextCommands, PrintTheirResultsAndRefuseBadArguments) {
  if (!std::filesystem::exists(XTB_TOOL_PATH)) GTEST_SKIP() << "the xtbasis tool is not built";
  EXPECT_EQ(RunTool("iban DE89370400440532013000").output, "DE89 3704 0044 0532 0130 00\n");
  EXPECT_EQ(RunTool("mime report.xml").output, "application/xml\n");
  EXPECT_EQ(RunTool("printable 0 $(printf 'a\\001b')").status, 0);
  EXPECT_EQ(RunTool("printable 7 text").status, 2);
  EXPECT_EQ(RunTool("bytes lots").status, 2);
  EXPECT_EQ(RunTool("iban").status, 2);
}
