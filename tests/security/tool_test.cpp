// The `xtbasis crc`, `password` and `rc4` subcommands, run as a program.
#include <gtest/gtest.h>

#include "pattern_bytes.h"
#include "scratch_dir.h"
#include "tool_run.h"

namespace {

TEST(SecurityTool, CrcAndPassword) {
  ScratchDir dir;
  const ToolRun crc = RunTool("crc '" + dir.Write("digits", "123456789") + "'");
  EXPECT_EQ(crc.status, 0);
  EXPECT_EQ(crc.output, "89A1897F\n");
  EXPECT_EQ(RunTool("crc '" + dir.Path("missing") + "'").status, 1);
  EXPECT_EQ(RunTool("crc").status, 2);

  const ToolRun password = RunTool("password 12");
  EXPECT_EQ(password.status, 0);
  EXPECT_EQ(password.output.size(), 13u);
  EXPECT_EQ(RunTool("password 2").status, 2);
  EXPECT_EQ(RunTool("password 12x").status, 2);
}

TEST(SecurityTool, Rc4RoundTripsAndFailures) {
  ScratchDir dir;
  const std::string plain = PatternBytes(3000, 11);
  const std::string source = dir.Write("plain", plain);
  for (const char* format : {"A", "B"}) {
    const std::string encrypted = dir.Path(std::string("enc") + format), back = dir.Path(std::string("back") + format);
    EXPECT_EQ(RunTool(std::string("rc4 encrypt --format ") + format + " '" + source + "' '" + encrypted + "'").status, 0);
    EXPECT_EQ(RunTool(std::string("rc4 decrypt --format ") + format + " '" + encrypted + "' '" + back + "'").status, 0);
    EXPECT_EQ(ScratchDir::Read(back), plain) << format;
  }
  EXPECT_EQ(RunTool("rc4 decrypt --format B '" + dir.Path("missing") + "' '" + dir.Path("out") + "'").status, 1);
  EXPECT_EQ(RunTool("rc4 encrypt --format C a b").status, 2);
  EXPECT_EQ(RunTool("rc4 shuffle --format A a b").status, 2);
}

}  // namespace
