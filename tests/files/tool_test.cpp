// The `xtbasis path` and `newest` subcommands, run as a program.
#include <gtest/gtest.h>

#include "temp_dir.h"
#include "tool_run.h"

namespace {

TEST(FilesTool, PathSplitAndJoin) {
  const ToolRun split = RunTool("path split 'C:\\a\\b\\x.txt'");
  EXPECT_EQ(split.status, 0);
  EXPECT_EQ(split.output, "drive: C:\ndir: \\a\\b\\\nname: x\next: .txt\n");
  const ToolRun join = RunTool("path join /srv/data/old.txt ../logs/ x.log");
  EXPECT_EQ(join.status, 0);
  EXPECT_EQ(join.output, "/srv/logs/x.log\n");
  EXPECT_EQ(RunTool("path join /a").status, 2);
  EXPECT_EQ(RunTool("path").status, 2);
}

TEST(FilesTool, Newest) {
  ScratchTempDir dir;
  dir.Write("a.log", "1");
  const ToolRun found = RunTool("newest '" + dir.Path("*.log") + "'");
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.output, dir.Path("a.log") + "\n");
  EXPECT_EQ(RunTool("newest '" + dir.Path("*.none") + "'").status, 1);
}

}  // namespace
