// xtbasis trace: one record with the settings of the given main key.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frame_fixture.h"

namespace {

class TraceToolTest : public FrameTest {
 protected:
  int RunTool(const std::string& arguments) {
    const std::string command = std::string(XTB_TOOL_PATH " trace ") + arguments + " 2>/dev/null >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(TraceToolTest, WritesWithTheSettingsOfTheMainKey) {
  const std::string args = "'SOFTWARE\\XTToolTest' '" + m_dir.string() + "' ";
  EXPECT_EQ(RunTool(args + "2 9 'too verbose'"), 1);
  SetText("SOFTWARE\\XTToolTest", "TraceLevel", "2");
  SetText("SOFTWARE\\XTToolTest", "TraceMsgBox", "0");
  EXPECT_EQ(RunTool(args + "2 9 'now written'"), 0);
  const std::string text = Read(TraceFile());
  EXPECT_EQ(text.rfind("WARN \t", 0), 0u);
  EXPECT_NE(text.find("\t9\txtbasis trace:0\t0\r\n\tnow written\r\n"), std::string::npos) << text;
  EXPECT_EQ(RunTool(args + "two 9 x"), 2);
  EXPECT_EQ(RunTool("only-one"), 2);
}

}  // namespace
