// Sending, receiving, the receive thread and closing against a real server.
#include <thread>

#include "ws_fixture.h"

namespace {

using std::chrono::steady_clock;

TEST_F(WebSocketTest, SendsAndReceivesTextWithTheRequestAsGiven) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("XT Praxis/1.0", "localhost"), 0u);
  const CString greeting("Gr\xC3\xBC\xC3\x9F" "e aus der Praxis");  // UTF-8 as the caller gives it
  EXPECT_EQ(ws.Send(greeting), 0u);
  CString text;
  EXPECT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, greeting);

  EXPECT_EQ(ws.Send("headers"), 0u);
  EXPECT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "path=/ agent=XT Praxis/1.0 host=localhost");

  EXPECT_EQ(ws.Send(""), 0u);  // an empty message is one too
  text = "old";
  EXPECT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ws.Close(), 0u);
  EXPECT_EQ(server_.NextLine(std::chrono::seconds(5)), "closed 1000");

  // Success traces at level 1, failures at 3, from "XTWebSocket".
  const std::string trace = TraceText();
  EXPECT_NE(trace.find("ERROR\t"), std::string::npos);
  EXPECT_NE(trace.find("XTWebSocket:"), std::string::npos);
  EXPECT_NE(trace.find("\tCXTWebSocket::Send(): 0, headers\r\n"), std::string::npos);
  EXPECT_NE(trace.find("\tCXTWebSocket::Receive(): 0, path=/ agent=XT Praxis/1.0 host=localhost\r\n"),
            std::string::npos);
}

TEST_F(WebSocketTest, LongMessageArrivesInPiecesOfAtMost1000Bytes) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_EQ(ws.Send("big 2500"), 0u);
  std::string whole;
  int pieces = 0;
  while (whole.size() < 2500 && pieces < 10) {
    CString piece;
    ASSERT_EQ(ws.Receive(piece), 0u);
    ASSERT_LE(piece.GetLength(), 1000);
    ASSERT_GT(piece.GetLength(), 0);
    whole.append(piece.GetString(), piece.GetLength());
    ++pieces;
  }
  EXPECT_EQ(whole, Pattern(2500));
  EXPECT_GE(pieces, 3);
  // The next message starts afresh.
  ASSERT_EQ(ws.Send("next"), 0u);
  CString text;
  ASSERT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "next");
}

TEST_F(WebSocketTest, WaitReceiveTimesOutRepeatablyWhileSendGoesOn) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  CString text = "unchanged";
  EXPECT_EQ(ws.WaitReceive(0, text), 6u);  // no thread yet
  ASSERT_TRUE(ws.StartWaitReceive());
  EXPECT_FALSE(ws.StartWaitReceive());  // one at a time
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ws.WaitReceive(0, text), 1460u);
  EXPECT_EQ(ws.WaitReceive(50, text), 1460u);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(ws.Send("while waiting"), 0u);
  EXPECT_EQ(ws.WaitReceive(5000, text), 0u);
  EXPECT_EQ(text, "while waiting");
  EXPECT_EQ(ws.WaitReceive(0, text), 6u);  // the thread is gone
  EXPECT_EQ(GetLastError(), 6u);
}

TEST_F(WebSocketTest, WithoutWebSocketCallsAreRefused) {
  CXTWebSocket ws;
  CString text = "unchanged";
  EXPECT_EQ(ws.Send("x"), 4317u);
  EXPECT_EQ(ws.Receive(text), 4317u);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(ws.WaitReceive(INFINITE, text), 6u);
  EXPECT_TRUE(ws.StopWaitReceive());
  EXPECT_EQ(ws.Close(), 0u);
  EXPECT_EQ(ws.Close(), 0u);
  // A receive thread without a WebSocket ends at once with 4317.
  ASSERT_TRUE(ws.StartWaitReceive());
  EXPECT_EQ(ws.WaitReceive(5000, text), 4317u);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(TraceText().find("CXTWebSocket::"), std::string::npos);
}

TEST_F(WebSocketTest, ServerClosingEndsAWaitingReceive) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_TRUE(ws.StartWaitReceive());
  CString text = "old";
  EXPECT_EQ(ws.WaitReceive(0, text), 1460u);
  ASSERT_EQ(ws.Send("close"), 0u);
  EXPECT_EQ(ws.WaitReceive(5000, text), 0u);  // the closing frame: an empty success
  EXPECT_EQ(text, "");
  EXPECT_EQ(ws.Receive(text), 4317u);
  EXPECT_EQ(ws.Send("late"), 4317u);
  EXPECT_EQ(ws.Close(), 0u);
  EXPECT_EQ(server_.NextLine(std::chrono::seconds(5)), "closed 1000");
}

TEST_F(WebSocketTest, ServerDroppingTheConnectionIsAnError) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  // The thread starts after the Send: two records at the same moment would
  // lose one of them to the trace file's lock.
  ASSERT_EQ(ws.Send("drop"), 0u);
  ASSERT_TRUE(ws.StartWaitReceive());
  CString text = "old";
  EXPECT_EQ(ws.WaitReceive(5000, text), static_cast<unsigned long>(ERROR_WINHTTP_CONNECTION_ERROR));
  EXPECT_EQ(text, "old");  // only a success hands out text
  EXPECT_NE(TraceText().find("INFO \t"), std::string::npos);
  EXPECT_NE(TraceText().find("\tCXTWebSocket::Receive(): 12030, \r\n"), std::string::npos);
  EXPECT_EQ(ws.Receive(text), 4317u);  // the connection has ended
  EXPECT_EQ(ws.Send("x"), 4317u);
  EXPECT_EQ(ws.Close(), 0u);
}

TEST_F(WebSocketTest, CloseWhileTheReceiveThreadWaitsIsPromptAndSays1000) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_TRUE(ws.StartWaitReceive());
  CString text;
  ASSERT_EQ(ws.WaitReceive(100, text), 1460u);
  const auto start = steady_clock::now();
  EXPECT_EQ(ws.Close(), 0u);
  EXPECT_LT(ElapsedMs(start), 1000);
  EXPECT_EQ(server_.NextLine(std::chrono::seconds(5)), "closed 1000");
  EXPECT_EQ(ws.WaitReceive(0, text), 6u);
  EXPECT_EQ(ws.Send("x"), 4317u);
  // The object opens again.
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_EQ(ws.Send("again"), 0u);
  ASSERT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "again");
}

TEST_F(WebSocketTest, StopWaitReceiveKeepsTheConnectionAndTheMessage) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_TRUE(ws.StartWaitReceive());
  const auto start = steady_clock::now();
  EXPECT_TRUE(ws.StopWaitReceive());
  EXPECT_LT(ElapsedMs(start), 1000);
  CString text;
  EXPECT_EQ(ws.WaitReceive(0, text), 6u);
  ASSERT_EQ(ws.Send("kept"), 0u);
  ASSERT_EQ(ws.Receive(text), 0u);  // what the stopped thread waited for
  EXPECT_EQ(text, "kept");
  // A stop right after the start, before the thread waits, is not lost either.
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(ws.StartWaitReceive());
    ASSERT_TRUE(ws.StopWaitReceive());
  }
  ASSERT_EQ(ws.Send("still"), 0u);
  ASSERT_TRUE(ws.StartWaitReceive());
  ASSERT_EQ(ws.WaitReceive(5000, text), 0u);
  EXPECT_EQ(text, "still");
}

TEST_F(WebSocketTest, CopiesShareOneConnectionThatClosesOnce) {
  Serve();
  CXTWebSocket ws;
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  {
    CXTWebSocket copy(ws);
    ASSERT_EQ(copy.Send("from the copy"), 0u);
    CXTWebSocket assigned;
    assigned = copy;
    CString text;
    ASSERT_EQ(assigned.Receive(text), 0u);
    EXPECT_EQ(text, "from the copy");
    ASSERT_TRUE(copy.StartWaitReceive());  // the thread is shared too
    ASSERT_EQ(ws.Send("to the thread"), 0u);
    ASSERT_EQ(ws.WaitReceive(5000, text), 0u);
    EXPECT_EQ(text, "to the thread");
  }  // the copies go; the connection stays
  ASSERT_EQ(ws.Send("after"), 0u);
  CString text;
  ASSERT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "after");
  CXTWebSocket other(ws);
  EXPECT_EQ(other.Close(), 0u);  // closes for both
  EXPECT_EQ(ws.Send("x"), 4317u);
  EXPECT_EQ(ws.Close(), 0u);
  EXPECT_EQ(server_.NextLine(std::chrono::seconds(5)), "closed 1000");
  EXPECT_EQ(server_.NextLine(std::chrono::milliseconds(300)), "");  // one connection, one end
}

TEST_F(WebSocketTest, DestroyingTheLastCopyWithAWaitingThreadCloses) {
  Serve();
  {
    CXTWebSocket ws;
    ASSERT_EQ(ws.Open("test", "localhost"), 0u);
    ASSERT_TRUE(ws.StartWaitReceive());
  }
  EXPECT_EQ(server_.NextLine(std::chrono::seconds(5)), "closed 1000");
}

}  // namespace
