// xtbasis ws: lines from standard input go out, what arrives is printed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tool_run.h"
#include "ws_fixture.h"

namespace {

TEST_F(WebSocketTest, ToolSendsLinesAndPrintsWhatArrives) {
  Serve();
  // Standard input stays open (this test holds the pipe's other end), so the
  // session ends when the server closes it, however slowly the answers come
  // on a busy machine, and not when input has ended and 2 s passed quietly.
  ASSERT_EQ(mkfifo(Path("input").c_str(), 0600), 0);
  const int input = open(Path("input").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(input, 0);
  const std::string lines = "Guten Tag\nheaders\nclose\n";
  ASSERT_EQ(write(input, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  const std::string environment = "XTBASIS_REGISTRY_DIR='" + Path("hives") + "'";
  const ToolRun run = RunTool("ws localhost < '" + Path("input") + "'", environment + " timeout 60");  // no hang
  close(input);
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
