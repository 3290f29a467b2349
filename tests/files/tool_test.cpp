// The `xtbasis path`, `newest` and `tiff` subcommands, run as a program.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

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

TEST(FilesTool, TiffCollectsBitmapsIntoPages) {
  ScratchDir dir;
  // Two 1 x 1 bitmaps, 24 bits: one red, one blue.
  const std::string header("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 30);
  const std::string rest(24, '\0');
  const std::string red = dir.Write("red.bmp", header + rest + std::string("\0\0\xff\0", 4));
  const std::string blue = dir.Write("blue.bmp", header + rest + std::string("\xff\0\0\0", 4));
  const std::string out = dir.Path("out.tif");
  const ToolRun run = RunTool("tiff '" + out + "' '" + red + "' '" + blue + "' --dpi 200");
  EXPECT_EQ(run.status, 0) << run.output;
  FILE* info = popen(("tiffinfo '" + out + "' 2>&1").c_str(), "r");
  ASSERT_NE(info, nullptr);
  std::string text;
  char buffer[512];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, info)) > 0;) text.append(buffer, n);
  pclose(info);
  size_t pages = 0;
  for (size_t at = 0; (at = text.find("Resolution: 200, 200 pixels/inch", at)) != std::string::npos; ++at) ++pages;
  EXPECT_EQ(pages, 2u) << text;

  const ToolRun partly = RunTool("tiff '" + out + "' '" + red + "' '" + dir.Write("x.bmp", "BMx") + "'");
  EXPECT_EQ(partly.status, 1);
  EXPECT_NE(partly.output.find("x.bmp is no bitmap that can be read"), std::string::npos) << partly.output;
  EXPECT_EQ(RunTool("tiff '" + out + "'").status, 2);
  // Writing over a bitmap would lose it.
  EXPECT_EQ(RunTool("tiff '" + red + "' '" + blue + "' '" + dir.Path("./red.bmp") + "'").status, 2);
  EXPECT_EQ(std::filesystem::file_size(red), 58u);
  EXPECT_EQ(RunTool("tiff '" + out + "' '" + red + "' --dpi abc").status, 2);
  EXPECT_EQ(RunTool("tiff '" + dir.Path("no/such/out.tif") + "' '" + red + "'").status, 1);
  EXPECT_EQ(RunTool("tiff '" + red + "' '" + red + "'").status, 2);
}

}  // namespace
