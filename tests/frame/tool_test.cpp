// xtbasis trace: one record with the settings of the given main key.
#include <gtest/gtest.h>

#include <string>

#include "frame_fixture.h"
#include "tool_run.h"

namespace {

class TraceToolTest : public FrameTest {
 protected:
  int Trace(const std::string& arguments) { return RunTool("trace " + arguments).status; }
};

TEST_F(TraceToolTest, WritesWithTheSettingsOfTheMainKey) {
  const std::string args = "'SOFTWARE\\XTToolTest' '" + m_dir.string() + "' ";
  EXPECT_EQ(Trace(args + "2 9 'too verbose'"), 1);
  SetText("SOFTWARE\\XTToolTest", "TraceLevel", "2");
  SetText("SOFTWARE\\XTToolTest", "TraceMsgBox", "0");
  EXPECT_EQ(Trace(args + "2 9 'now written'"), 0);
  const std::string text = Read(TraceFile());
  EXPECT_EQ(text.rfind("WARN \t", 0), 0u);
  EXPECT_NE(text.find("\t9\txtbasis trace:0\t0\r\n\tnow written\r\n"), std::string::npos) << text;
  EXPECT_EQ(Trace(args + "two 9 x"), 2);
  EXPECT_EQ(Trace("only-one"), 2);
}

}  // namespace
