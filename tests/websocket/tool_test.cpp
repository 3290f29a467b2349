// xtbasis ws: lines from standard input go out, what arrives is printed.
#include "tool_run.h"
#include "ws_fixture.h"

namespace {

TEST_F(WebSocketTest, ToolSendsLinesAndPrintsWhatArrives) {
  Serve();
  WriteFile(Path("input"), "Guten Tag\nheaders\nclose\n");
  const std::string environment = "XTBASIS_REGISTRY_DIR='" + Path("hives") + "'";
  const ToolRun run = RunTool("ws localhost < '" + Path("input") + "'", environment);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            "Guten Tag\npath=/ agent=xtbasis ws host=localhost\n\n"
            "xtbasis ws: the server has closed the connection\n");

  server_.Stop();
  const ToolRun refused = RunTool("ws 127.0.0.1 < /dev/null", environment);  // nobody listens there
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find("xtbasis ws: Open: 12029"), std::string::npos) << refused.output;
  EXPECT_EQ(RunTool("ws", environment).status, 2);
}

}  // namespace
