// How the socket, poller and thread services report a failure: false or -1
// with errno telling why, the thread's Windows last error left alone for the
// family that calls them to set.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <xtbasis/platform/lasterror.h>

#include "os/localsocket.h"
#include "os/netsocket.h"
#include "os/poller.h"
#include "os/sharedfolder.h"
#include "os/thread.h"

namespace {

namespace fs = std::filesystem;
using xtb::os::SocketKind;

constexpr DWORD kUntouched = 0xC0FFEE;

// A shared folder of the test's own, so that no endpoint of a running
// program is met.
class OsSocketErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "xtb-ossockets-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    m_path = (m_dir / "endpoints").string();
    m_folder = xtb::os::OpenSharedFolder(m_path);
    ASSERT_TRUE(m_folder.IsOpen()) << std::strerror(errno);
    SetLastError(kUntouched);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }
  int Create(const std::string& name, SocketKind kind) { return xtb::os::CreateEndpoint(m_folder, name, kind); }
  int Connect(const std::string& name, SocketKind kind) { return xtb::os::ConnectEndpoint(m_path, name, kind); }
  fs::path m_dir;
  std::string m_path;
  xtb::os::Folder m_folder;
};

TEST_F(OsSocketErrors, EndpointsSayWhyInErrno) {
  for (SocketKind kind : {SocketKind::Datagram, SocketKind::Sequenced}) {
    errno = 0;
    EXPECT_LT(Connect("nobody-home", kind), 0);
    EXPECT_EQ(errno, ENOENT) << "nobody holds the name";

    const int held = Create("taken", kind);
    ASSERT_GE(held, 0) << std::strerror(errno);
    errno = 0;
    EXPECT_LT(Create("taken", kind), 0);
    EXPECT_EQ(errno, EEXIST) << "a live holder keeps its name";

    const int sender = Connect("taken", kind);
    ASSERT_GE(sender, 0) << std::strerror(errno);
    EXPECT_TRUE(xtb::os::CloseEndpoint(sender));
    EXPECT_TRUE(xtb::os::CloseEndpoint(held));
    errno = 0;
    EXPECT_FALSE(xtb::os::CloseEndpoint(held));
    EXPECT_EQ(errno, EBADF);

    // The holder is gone: its socket file stays and counts as nobody's.
    errno = 0;
    EXPECT_LT(Connect("taken", kind), 0);
    EXPECT_EQ(errno, ENOENT);
    // A new holder replaced it: senders that reached the old one reach it.
    const int again = Create("taken", kind);
    ASSERT_GE(again, 0) << std::strerror(errno);
    const int reached = Connect("taken", kind);
    EXPECT_GE(reached, 0) << std::strerror(errno);
    xtb::os::CloseEndpoint(reached);
    xtb::os::CloseEndpoint(again);
  }
  errno = 0;
  EXPECT_LT(Connect(std::string(300, 'n'), SocketKind::Datagram), 0);
  EXPECT_EQ(errno, ENAMETOOLONG);
  EXPECT_EQ(GetLastError(), kUntouched);
}

TEST_F(OsSocketErrors, ReceiverThatTakesNothingIsBusyOrTimesOut) {
  const int receiver = Create("slow", SocketKind::Datagram);
  ASSERT_GE(receiver, 0) << std::strerror(errno);
  const int sender = Connect("slow", SocketKind::Datagram);
  ASSERT_GE(sender, 0) << std::strerror(errno);
  const std::string mail(2048, 'm');
  bool busy = false;
  for (int sent = 0; sent < 100000 && !busy; ++sent)
    busy = !xtb::os::SendMessage(sender, mail.data(), mail.size(), 0);
  ASSERT_TRUE(busy) << "the receiver's queue never filled";
  EXPECT_EQ(errno, EBUSY) << std::strerror(errno);
  errno = 0;
  EXPECT_FALSE(xtb::os::SendMessage(sender, mail.data(), mail.size(), 20));
  EXPECT_EQ(errno, ETIMEDOUT) << std::strerror(errno);
  EXPECT_EQ(GetLastError(), kUntouched);
  xtb::os::CloseEndpoint(sender);
  xtb::os::CloseEndpoint(receiver);
}

// A listener that takes no connection fills its queue: a connect then
// fails at once (EAGAIN), or after the wait for room it was given; a
// connection taken meanwhile lets a waiting connect through.
TEST_F(OsSocketErrors, FullConnectionQueueIsWaitedOnAsLongAsAsked) {
  using std::chrono::milliseconds;
  const int receiver = Create("queue", SocketKind::Sequenced);
  ASSERT_GE(receiver, 0) << std::strerror(errno);
  int queued = 0;
  for (int fd; queued < 100000 && (fd = Connect("queue", SocketKind::Sequenced)) >= 0; ++queued)
    xtb::os::CloseEndpoint(fd);
  ASSERT_EQ(errno, EAGAIN) << "after " << queued << " connections: " << std::strerror(errno);
  const auto start = std::chrono::steady_clock::now();
  errno = 0;
  EXPECT_LT(xtb::os::ConnectEndpoint(m_path, "queue", SocketKind::Sequenced, 100), 0);
  EXPECT_EQ(errno, EAGAIN) << std::strerror(errno);
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(100)) << "the wait for room was cut short";

  std::thread taker([&] {
    std::this_thread::sleep_for(milliseconds(50));
    xtb::os::CloseEndpoint(xtb::os::AcceptConnection(receiver));
  });
  const int waited = xtb::os::ConnectEndpoint(m_path, "queue", SocketKind::Sequenced, 10000);
  taker.join();
  EXPECT_GE(waited, 0) << std::strerror(errno);
  EXPECT_TRUE(xtb::os::SendMessage(waited, "x", 1, 0)) << "the connection blocks or is not connected";
  xtb::os::CloseEndpoint(waited);
  xtb::os::CloseEndpoint(receiver);
  EXPECT_EQ(GetLastError(), kUntouched);
}

TEST_F(OsSocketErrors, NetworkCallsSayWhyInErrno) {
  xtb::os::NetAddress address;
  errno = 0;
  EXPECT_FALSE(xtb::os::Resolve("", 1, address));
  EXPECT_EQ(errno, EHOSTUNREACH) << "a computer that cannot be found";
  EXPECT_FALSE(xtb::os::Resolve("no-such-computer.invalid", 1, address));
  EXPECT_EQ(errno, EHOSTUNREACH);

  // A stream that ends before the bytes asked for came.
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  ASSERT_TRUE(xtb::os::SendAll(pair[1], "ab", 2));
  close(pair[1]);
  char bytes[4];
  errno = 0;
  EXPECT_FALSE(xtb::os::ReceiveAll(pair[0], bytes, sizeof bytes));
  EXPECT_EQ(errno, EPIPE);
  close(pair[0]);
  EXPECT_EQ(GetLastError(), kUntouched);
}

TEST_F(OsSocketErrors, PollerWakesOnARingAndThreadsSayWhy) {
  xtb::os::Poller poller;
  xtb::os::Wakeup wakeup;
  ASSERT_TRUE(poller.ok());
  ASSERT_TRUE(wakeup.ok());
  ASSERT_TRUE(poller.Add(wakeup.fd()));
  EXPECT_TRUE(poller.Wait(0).empty());
  EXPECT_FALSE(wakeup.Take()) << "never rung";
  ASSERT_TRUE(wakeup.Ring());
  ASSERT_TRUE(wakeup.Ring());
  const auto ready = poller.Wait(1000);
  EXPECT_TRUE(std::any_of(ready.begin(), ready.end(), [&](xtb::os::PollEvent e) { return e.fd == wakeup.fd(); }));
  EXPECT_TRUE(wakeup.Take());
  EXPECT_FALSE(wakeup.Take()) << "two rings before the take count as one";
  EXPECT_TRUE(poller.Wait(0).empty());
  errno = 0;
  EXPECT_FALSE(poller.Add(-1));
  EXPECT_EQ(errno, EBADF);

  xtb::os::NativeThread thread;
  errno = 0;
  EXPECT_FALSE(thread.SetName("nie gestartet"));
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(GetLastError(), kUntouched);
}

}  // namespace
