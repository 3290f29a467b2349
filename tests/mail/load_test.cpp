// Mail under load: many senders, bursts and queues fuller than a receiver
// reads. Local endpoints apply back-pressure in both modes (a full receiver
// makes the sender wait), so none may be lost; every mail must arrive
// exactly once.
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "child_process.h"
#include "mail_fixture.h"

namespace {

class MailLoadTest : public MailTest {};

TEST_F(MailLoadTest, EightSendersTenThousandMailsEach) {
  constexpr int kSenders = 8, kMails = 10000;
  const std::string name = Unique("load");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  const auto start = std::chrono::steady_clock::now();
  std::thread senders([&] {
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int s = 0; s < kSenders; ++s)
      children.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{
          XTB_MAIL_PROBE, "send", ".", name, std::to_string(kMails), "s" + std::to_string(s)}));
    for (auto& child : children) EXPECT_EQ(child->Wait(), 0) << "a sender counted failed sends";
    EXPECT_TRUE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, "end"));
  });
  std::map<std::string, int> received;
  long refused = 0;
  CString from, text;
  MAILTYPES type;
  for (;;) {
    if (!server.Read(from, type, text)) {
      ++refused;
      continue;
    }
    if (text == "end") break;
    ++received[text.GetString()];
  }
  senders.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s mode: %zu mails in %.2f s, %ld refused\n", Pipes() ? "pipe" : "mailslot", received.size(), seconds,
              refused);
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(received.size(), static_cast<size_t>(kSenders * kMails));
  for (const auto& [mail, count] : received) ASSERT_EQ(count, 1) << mail;
  for (int s = 0; s < kSenders; ++s) {
    EXPECT_EQ(received.count("s" + std::to_string(s) + " 0"), 1u);
    EXPECT_EQ(received.count("s" + std::to_string(s) + " " + std::to_string(kMails - 1)), 1u);
  }
}

}  // namespace

namespace {

// Mails sent faster than the receiver reads wait in its queue (a mailslot
// receiver's queue holds only a few, so the sender waits for room): each
// arrives whole and in the order sent, a malformed one among them refused in
// its place without taking a neighbour with it.
TEST_F(MailLoadTest, QueuedMailsArriveWholeAndInOrder) {
  constexpr int kMails = 300, kMalformedAt = 150;
  const std::string name = Unique("queue");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  // Near the mode's limit less the sender, id and type.
  const std::string filler(Pipes() ? 60000 : 300, 'q');
  auto textOf = [&](int number) { return std::to_string(number) + filler + std::to_string(number); };
  std::thread sender([&] {
    for (int number = 0; number < kMails; ++number) {
      if (number == kMalformedAt) {
        EXPECT_TRUE(SendRaw(CString(name), "", "no fields here"));
      }
      EXPECT_TRUE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PQMSG, textOf(number).c_str()))
          << number;
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the queue fills
  CString from, text;
  MAILTYPES type;
  for (int number = 0; number < kMails; ++number) {
    if (number == kMalformedAt) {
      EXPECT_FALSE(server.Read(from, type, text)) << "the malformed mail";
    }
    ASSERT_TRUE(server.Read(from, type, text)) << number;
    EXPECT_EQ(type, MAILTYPE_PQMSG);
    ASSERT_EQ(text.GetString(), textOf(number));
  }
  sender.join();
}

}  // namespace

namespace {

// How many connections a pipe-mode receiver's queue holds: what the library
// asks for (SOMAXCONN), as far as the kernel allows.
int ConnectionQueueLimit() {
  std::ifstream setting("/proc/sys/net/core/somaxconn");
  int limit = SOMAXCONN;
  return setting >> limit ? std::min(limit, SOMAXCONN) : SOMAXCONN;
}

// A burst of more mails than the receiver's queue holds, sent while the
// receiver looks away for a moment: the sender waits for room as long as
// the receiver is alive and reading, never for the pause before another
// attempt, and every mail arrives in the order sent.
TEST_F(MailLoadTest, BurstBeyondTheQueueWaitsForRoomNotForThePause) {
  const int mails = ConnectionQueueLimit() + 200;
  const std::string name = Unique("burst");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  std::chrono::steady_clock::duration longest{};
  std::thread sender([&] {
    for (int number = 0; number < mails; ++number) {
      const auto start = std::chrono::steady_clock::now();
      EXPECT_TRUE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PQMSG,
                                                    std::to_string(number).c_str()))
          << number;
      longest = std::max(longest, std::chrono::steady_clock::now() - start);
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the queue fills
  CString from, text;
  MAILTYPES type;
  for (int number = 0; number < mails; ++number) {
    ASSERT_TRUE(server.Read(from, type, text)) << number;
    ASSERT_EQ(text.GetString(), std::to_string(number));
  }
  sender.join();
  EXPECT_LT(longest, std::chrono::milliseconds(1000)) << "a mail waited out the pause before another attempt";
}

// A pipe-mode receiver that reads nothing: once its queue is full, a mail
// fails after its five attempts at their one-second pace, the waits for
// room counting as the pauses between them.
TEST_F(MailLoadTest, AFullQueueNobodyReadsFailsTheMailAtTheAttemptsPace) {
  if (!Pipes()) GTEST_SKIP() << "a mailslot-mode receiver's queue is a datagram queue";
  const std::string name = Unique("stuck");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  const int limit = ConnectionQueueLimit();
  std::chrono::steady_clock::duration failedAfter{};
  bool failed = false;
  for (int number = 0; number <= limit + 2 && !failed; ++number) {
    const auto start = std::chrono::steady_clock::now();
    failed = !CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PQMSG, "x");
    failedAfter = std::chrono::steady_clock::now() - start;
  }
  ASSERT_TRUE(failed) << "a queue of " << limit << " took more";
  EXPECT_GE(failedAfter, std::chrono::milliseconds(4500));
  EXPECT_LT(failedAfter, std::chrono::milliseconds(7000));
}

}  // namespace

namespace {

// Threads that send at the same time share the checked mail folder, while
// threads whose endpoint is missing have it opened and checked anew: every
// mail to the live endpoint arrives once, and the missing endpoint is
// reported missing to each attempt.
TEST_F(MailLoadTest, SendingThreadsShareTheCheckedFolder) {
  constexpr int kThreads = 4, kMails = 300;
  const std::string name = Unique("shared");
  const std::string absent = xtb::mail::EndpointFile(xtb::mail::EndpointName(Pipes(), CString(Unique("absent")), ""));
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([&, thread] {
      for (int number = 0; number < kMails; ++number) {
        if (thread % 2 == 0) {
          const std::string text = std::to_string(thread) + "/" + std::to_string(number);
          EXPECT_TRUE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PQMSG, text.c_str()));
          continue;
        }
        errno = 0;
        const int fd = xtb::mail::ConnectMailEndpoint(
            absent, Pipes() ? xtb::os::SocketKind::Sequenced : xtb::os::SocketKind::Datagram);
        EXPECT_LT(fd, 0);
        EXPECT_EQ(errno, ENOENT);
        if (fd >= 0) xtb::os::CloseEndpoint(fd);
      }
    });
  }
  std::set<std::string> received;
  CString from, text;
  MAILTYPES type;
  for (int mail = 0; mail < kThreads / 2 * kMails; ++mail) {
    ASSERT_TRUE(server.Read(from, type, text)) << mail;
    received.insert(text.GetString());
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(received.size(), static_cast<size_t>(kThreads / 2 * kMails)) << "a mail came twice";
}

}  // namespace

namespace {

// A receiver gives up on a connection that brings nothing in time (a sender
// that stalled after its connect). A mail that comes after that must fail
// at its sender: taken in and thrown away unread with the connection, it
// would be lost while its sender was told that it went. A datagram
// endpoint that waited in vain takes the next mail as before.
TEST_F(MailLoadTest, MailAfterTheReceiverGaveUpFailsAtItsSender) {
  using xtb::os::SocketKind;
  const SocketKind kind = Pipes() ? SocketKind::Sequenced : SocketKind::Datagram;
  const std::string file = xtb::mail::EndpointFile(xtb::mail::EndpointName(Pipes(), CString(Unique("late")), ""));
  const int endpoint = xtb::mail::CreateMailEndpoint(file, kind);
  ASSERT_GE(endpoint, 0) << std::strerror(errno);
  const int sender = xtb::mail::ConnectMailEndpoint(file, kind);
  ASSERT_GE(sender, 0) << std::strerror(errno);
  const int reader = Pipes() ? xtb::os::AcceptConnection(endpoint) : endpoint;
  ASSERT_GE(reader, 0) << std::strerror(errno);
  char buffer[16];
  errno = 0;
  EXPECT_EQ(xtb::os::ReceiveMessage(reader, buffer, sizeof buffer, nullptr, 50), -1);
  EXPECT_EQ(errno, ETIMEDOUT) << std::strerror(errno);
  errno = 0;
  const bool sent = xtb::os::SendMessage(sender, "late", 4, 0);
  if (Pipes()) {
    // The receiver has not closed the connection yet.
    EXPECT_FALSE(sent) << "the late mail went into a connection nobody reads";
    EXPECT_EQ(errno, EPIPE) << std::strerror(errno);
  } else {
    ASSERT_TRUE(sent) << std::strerror(errno);
    EXPECT_EQ(xtb::os::ReceiveMessage(reader, buffer, sizeof buffer, nullptr, 1000), 4);
  }
  if (reader != endpoint) xtb::os::CloseEndpoint(reader);
  xtb::os::CloseEndpoint(sender);
  xtb::os::CloseEndpoint(endpoint);
}

}  // namespace
