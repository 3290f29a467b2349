// Several threads on one connection: senders at the same time as a receiver,
// the hand-over of the connection's handlers from a thread that leaves to
// one that still waits, and servers that close, cut or stall the connection
// while threads wait on it.
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <latch>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "ws_fixture.h"

namespace {

using namespace std::chrono_literals;
using std::chrono::steady_clock;

// Ends the test program when a test outlives its limit: a thread stuck in
// the client would otherwise hold the run until ctest's own time-out.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (stopped_.wait_for(lock, limit, [this] { return done_; })) return;
          const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
          std::fprintf(stderr, "%s.%s still runs after %lld s: a thread hangs in the WebSocket client\n",
                       test->test_suite_name(), test->name(), static_cast<long long>(limit.count()));
          std::_Exit(EXIT_FAILURE);
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    stopped_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool done_ = false;
  std::thread thread_;  // last: it uses the members above
};

constexpr auto kTestLimit = 60s;

CString Text(const std::string& bytes) { return CString(bytes); }
std::string Bytes(const CString& text) { return std::string(text.GetString(), text.GetLength()); }
// The start of a message, enough to name it in a failure.
std::string Head(const std::string& message) { return message.substr(0, 40); }

// A sender's message: "<sender>.<number>.<size>:" and `size` letters that
// shift with sender and number, so that a message that is cut short, lent
// bytes of another or delivered twice shows.
std::string Message(int sender, int number, size_t size) {
  std::string text = std::to_string(sender) + "." + std::to_string(number) + "." + std::to_string(size) + ":";
  for (size_t i = 0; i < size; ++i) text += static_cast<char>('A' + (sender * 7 + number * 3 + i) % 26);
  return text;
}

struct MessageName {
  int sender = -1;
  int number = -1;
  size_t size = 0;
  size_t headerLength = 0;  // 0 while the header is incomplete
};

// The header of a sender's message; false for any other text.
bool ReadName(const std::string& text, MessageName& name) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return true;  // not all of it has come yet
  if (std::sscanf(text.c_str(), "%d.%d.%zu:", &name.sender, &name.number, &name.size) != 3) return false;
  name.headerLength = colon + 1;
  return true;
}

// One receive of at most 1000 bytes, directly or through the receive thread.
using ReceiveOne = std::function<unsigned long(CXTWebSocket&, CString&)>;

unsigned long ReceiveDirectly(CXTWebSocket& ws, CString& text) { return ws.Receive(text); }

// Asks every 20 ms, so that the receive thread's waits begin and end while
// the senders' go on.
unsigned long ReceiveOnTheThread(CXTWebSocket& ws, CString& text) {
  if (!ws.StartWaitReceive()) return ERROR_INVALID_HANDLE;
  unsigned long result;
  while ((result = ws.WaitReceive(20, text)) == ERROR_TIMEOUT) {
  }
  return result;
}

// What a reader got: whole messages in the order they came, and how it ended.
struct Inbox {
  std::vector<std::string> messages;
  std::string fault;             // a piece that belongs to no message
  bool closingFrame = false;     // the empty success of the server's closing frame came
  unsigned long lastResult = 0;  // the result that ended the reading; 0 when `last` came
};

// Receives until the message `last` or a failure, putting the pieces back
// together: a sender's message ends at its header's size (pieces never span
// two messages), any other message is one piece.
Inbox ReadUntil(CXTWebSocket& ws, const ReceiveOne& receive, const std::string& last) {
  Inbox inbox;
  std::string building;
  for (;;) {
    CString piece;
    if ((inbox.lastResult = receive(ws, piece)) != ERROR_SUCCESS) return inbox;
    if (piece.GetLength() > 1000) {
      inbox.fault = "a piece of " + std::to_string(piece.GetLength()) + " bytes";
      return inbox;
    }
    if (piece.IsEmpty()) {
      if (!building.empty() || inbox.closingFrame) inbox.fault = "an empty piece inside a message or twice";
      inbox.closingFrame = true;
      continue;
    }
    building += Bytes(piece);
    MessageName name;
    if (ReadName(building, name)) {
      if (name.headerLength == 0 || building.size() < name.headerLength + name.size) continue;
      if (building.size() > name.headerLength + name.size) {
        inbox.fault = "one piece with bytes of two messages after " + Head(building);
        return inbox;
      }
    }
    inbox.messages.push_back(std::move(building));
    building.clear();
    if (inbox.messages.back() == last) return inbox;
  }
}

// How many of each sender's messages came; fails the test unless each one is
// whole and each sender's came once each, in the order they were sent.
std::vector<int> CountInOrder(const std::vector<std::string>& messages, int senders) {
  std::vector<int> next(static_cast<size_t>(senders), 0);
  for (const std::string& message : messages) {
    MessageName name;
    if (!ReadName(message, name)) continue;  // the test's own messages
    const std::string head = message.substr(0, name.headerLength);
    if (name.sender < 0 || name.sender >= senders) {
      ADD_FAILURE() << "no such sender: " << head;
      continue;
    }
    int& expected = next[static_cast<size_t>(name.sender)];
    EXPECT_EQ(name.number, expected) << "out of order, repeated or after a gap: " << head;
    EXPECT_TRUE(message == Message(name.sender, name.number, name.size)) << "not whole or mixed: " << head;
    expected = name.number + 1;
  }
  return next;
}

// Sizes about the client's limits: a Receive's buffer (1000), the write
// buffer (4096), a TLS record (16384), a trace record (99999).
constexpr size_t kSizes[] = {1, 1001, 4097, 16385, 150000};
constexpr int kSenders = 4;
constexpr int kRounds = 2;
constexpr int kPerSender = kRounds * static_cast<int>(std::size(kSizes));

class WebSocketThreads : public WebSocketTest {
 protected:
  // kSenders threads send kPerSender messages each, all at once, while
  // `receive` takes the echoes; a last message after them shows that
  // nothing more was on its way.
  void SendersAndOneReceiver(const ReceiveOne& receive) {
    Serve();
    const Watchdog watchdog(kTestLimit);
    CXTWebSocket ws;
    ASSERT_EQ(ws.Open("test", "localhost"), 0u);
    Inbox inbox;
    std::thread reader([&] { inbox = ReadUntil(ws, receive, "end"); });
    std::latch start(kSenders);
    std::vector<std::vector<unsigned long>> results(kSenders);
    std::vector<std::thread> senders;
    for (int sender = 0; sender < kSenders; ++sender) {
      senders.emplace_back([&, sender] {
        start.arrive_and_wait();
        for (int number = 0; number < kPerSender; ++number) {
          const size_t size = kSizes[static_cast<size_t>(number) % std::size(kSizes)];
          results[static_cast<size_t>(sender)].push_back(ws.Send(Text(Message(sender, number, size))));
        }
      });
    }
    for (std::thread& sender : senders) sender.join();
    EXPECT_EQ(ws.Send("end"), 0u);
    reader.join();

    for (const auto& sent : results) EXPECT_EQ(sent, std::vector<unsigned long>(kPerSender, ERROR_SUCCESS));
    EXPECT_EQ(inbox.fault, "");
    EXPECT_EQ(inbox.lastResult, 0u);
    ASSERT_FALSE(inbox.messages.empty());
    EXPECT_EQ(Head(inbox.messages.back()), "end");
    EXPECT_EQ(inbox.messages.size(), static_cast<size_t>(kSenders * kPerSender + 1));
    EXPECT_EQ(CountInOrder(inbox.messages, kSenders), std::vector<int>(kSenders, kPerSender));
    EXPECT_EQ(ws.Close(), 0u);
  }
};

TEST_F(WebSocketThreads, ConcurrentSendersReachADirectReceiverWholeOnceAndInOrder) {
  SendersAndOneReceiver(ReceiveDirectly);
}

TEST_F(WebSocketThreads, ConcurrentSendersReachTheReceiveThreadWholeOnceAndInOrder) {
  SendersAndOneReceiver(ReceiveOnTheThread);
}

// More than the socket buffers between client and server hold, so that a
// Send of it waits while the server reads nothing; the server's own TLS
// layer takes several megabytes more before its pause holds the sender.
constexpr size_t kBlocking = 32 << 20;
const std::string kSunk = "sunk " + std::to_string(kBlocking) + " whole";

// A thread that sends kBlocking bytes to the server's sink and notes the
// result, its time and that it has come.
class BlockingSend {
 public:
  explicit BlockingSend(CXTWebSocket& ws)
      : start_(steady_clock::now()), thread_([this, &ws] {
          result = ws.Send(Text("sink " + Pattern(kBlocking)));
          ms = ElapsedMs(start_);
          done = true;
        }) {}
  ~BlockingSend() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::atomic<unsigned long> result{~0ul};
  std::atomic<long long> ms{0};
  std::atomic<bool> done{false};

 private:
  steady_clock::time_point start_;
  std::thread thread_;  // last: it uses the members above
};

// Opens `ws` to the test's server and tells it to stop reading ("pause MS"
// or "stall MS"); returns once the server has stopped, so that what is sent
// after it waits however slowly the server got to the command.
void OpenAndPause(CXTWebSocket& ws, const char* command) {
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_EQ(ws.Send(command), 0u);
  CString answer;
  ASSERT_EQ(ws.Receive(answer), 0u);
  ASSERT_EQ(answer, "paused");
}

TEST_F(WebSocketThreads, ASenderThatLeavesHandsTheHandlersToTheWaitingReceiveThread) {
  Serve();
  const Watchdog watchdog(kTestLimit);
  CXTWebSocket ws;
  ASSERT_NO_FATAL_FAILURE(OpenAndPause(ws, "pause 1000"));
  BlockingSend sender(ws);
  std::this_thread::sleep_for(200ms);  // the sender runs the handlers now, its write waiting
  ASSERT_TRUE(ws.StartWaitReceive());
  CString text = "old";
  EXPECT_EQ(ws.WaitReceive(100, text), 1460u);
  sender.Join();
  EXPECT_EQ(sender.result, 0u);
  ASSERT_GE(sender.ms, 600) << "the write did not wait for the server: the receive thread waited alone";
  // The receive thread waits alone now: it runs the handlers and gets the answer.
  EXPECT_EQ(ws.WaitReceive(10000, text), 0u);
  EXPECT_EQ(Bytes(text), kSunk);
  ASSERT_EQ(ws.Send("after"), 0u);
  EXPECT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "after");
}

TEST_F(WebSocketThreads, AStoppedReceiveThreadHandsTheHandlersToTheWaitingSender) {
  Serve();
  const Watchdog watchdog(kTestLimit);
  CXTWebSocket ws;
  ASSERT_NO_FATAL_FAILURE(OpenAndPause(ws, "pause 1000"));
  ASSERT_TRUE(ws.StartWaitReceive());  // it runs the handlers, waiting for the network
  std::this_thread::sleep_for(100ms);
  const auto start = steady_clock::now();
  BlockingSend sender(ws);
  std::this_thread::sleep_for(300ms);
  ASSERT_FALSE(sender.done) << "the write did not wait for the server: nothing waited beside the receive thread";
  EXPECT_TRUE(ws.StopWaitReceive());  // it leaves while the write still waits
  EXPECT_LT(ElapsedMs(start), 900);
  sender.Join();
  EXPECT_EQ(sender.result, 0u);
  // The read the stopped thread waited for stays with the connection.
  CString text;
  EXPECT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(Bytes(text), kSunk);
}

TEST_F(WebSocketThreads, AStalledServerEndsTheWaitingSendAndReceiveWithAFailure) {
  Serve();
  const Watchdog watchdog(kTestLimit);
  CXTWebSocket ws;
  // The server reads nothing for 1 s, then cuts the connection.
  ASSERT_NO_FATAL_FAILURE(OpenAndPause(ws, "stall 1000"));
  ASSERT_TRUE(ws.StartWaitReceive());
  const auto start = steady_clock::now();
  BlockingSend sender(ws);
  CString text = "old";
  EXPECT_EQ(ws.WaitReceive(10000, text), static_cast<unsigned long>(ERROR_WINHTTP_CONNECTION_ERROR));
  EXPECT_EQ(text, "old");
  sender.Join();
  EXPECT_EQ(sender.result, static_cast<unsigned long>(ERROR_WINHTTP_CONNECTION_ERROR));
  EXPECT_GE(sender.ms, 600) << "the write did not wait for the server";
  EXPECT_LT(ElapsedMs(start), 10000);
  EXPECT_EQ(ws.Send("late"), 4317u);
  EXPECT_EQ(ws.Receive(text), 4317u);
  EXPECT_EQ(ws.Close(), 0u);
}

// The server ends the connection while two threads keep sending and a third
// receives: each sender's messages that went out before the end come back,
// in order, and every thread then ends with a failure instead of waiting.
TEST_F(WebSocketThreads, AServerEndingMidStreamEndsEveryThreadAndLosesNothingSentBefore) {
  struct Case {
    const char* command;
    // "close" says goodbye after the answers to what came before it; "drop"
    // cuts the connection, and the server's answers not yet out are lost.
    bool graceful;
    // A receive under way when a Send fails reports the failure; one that
    // begins after it is refused.
    std::set<unsigned long> receiverEnds;
  };
  const Case cases[] = {{"close", true, {ERROR_INVALID_OPERATION}},
                        {"drop", false, {ERROR_WINHTTP_CONNECTION_ERROR, ERROR_INVALID_OPERATION}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    Serve();
    const Watchdog watchdog(kTestLimit);
    CXTWebSocket ws;
    ASSERT_EQ(ws.Open("test", "localhost"), 0u);
    constexpr int kStreams = 2;
    Inbox inbox;
    std::thread reader([&] { inbox = ReadUntil(ws, ReceiveDirectly, ""); });
    std::atomic<int> delivered[kStreams] = {};
    unsigned long ending[kStreams] = {};
    std::vector<std::thread> senders;
    for (int sender = 0; sender < kStreams; ++sender) {
      senders.emplace_back([&, sender] {
        for (int number = 0;; ++number) {
          const unsigned long result = ws.Send(Text(Message(sender, number, 5000)));
          if (result != ERROR_SUCCESS) {
            ending[sender] = result;
            return;
          }
          delivered[sender] = number + 1;
        }
      });
    }
    std::this_thread::sleep_for(200ms);
    const int before[kStreams] = {delivered[0], delivered[1]};
    const auto end = steady_clock::now();
    ASSERT_EQ(ws.Send(c.command), 0u);
    for (std::thread& sender : senders) sender.join();
    reader.join();
    EXPECT_LT(ElapsedMs(end), 5000);

    for (int sender = 0; sender < kStreams; ++sender) {
      EXPECT_GT(before[sender], 0) << "sender " << sender << " sent nothing before the end";
      // Refused once the end is known; a write under way fails with the connection.
      const std::set<unsigned long> failures = {ERROR_INVALID_OPERATION, ERROR_WINHTTP_CONNECTION_ERROR};
      EXPECT_TRUE(failures.count(ending[sender])) << ending[sender];
    }
    EXPECT_EQ(inbox.fault, "");
    EXPECT_EQ(inbox.closingFrame, c.graceful);
    EXPECT_TRUE(c.receiverEnds.count(inbox.lastResult)) << inbox.lastResult;
    const std::vector<int> came = CountInOrder(inbox.messages, kStreams);
    if (c.graceful) {
      for (int sender = 0; sender < kStreams; ++sender) EXPECT_GE(came[sender], before[sender]) << sender;
    }
    EXPECT_EQ(ws.Send("late"), 4317u);
    EXPECT_EQ(ws.Close(), 0u);
    server_.Stop();
  }
}

}  // namespace
