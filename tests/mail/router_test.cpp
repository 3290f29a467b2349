// Mail to another computer through a real xtmaild, over a real network path.
#include <arpa/inet.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/socket.h>

#include <chrono>
#include <future>
#include <map>
#include <set>
#include <thread>
#include <vector>
#include <xtbasis/errortext.h>

#include "os/netsocket.h"
#include "router_world.h"
#include "second_account.h"
#include "routerwire.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class MailRouterTest : public MailTest {
 protected:
  void SetUp() override {
    MailTest::SetUp();
    if (!m_world.ready()) GTEST_SKIP() << "no network namespace to be had (the router tests need root)";
    m_name = Unique("net");
    ASSERT_TRUE(m_server.Create(CString(m_name), ""));
  }
  bool Send(const std::string& text) {
    return CXTMailslotClient::SendOneMessage(CString(m_world.routerAddress()), CString(m_name), "", MAILTYPE_USER,
                                             CString(text));
  }
  std::string ReadText() {
    CString sender, text;
    MAILTYPES type;
    while (!m_server.Read(sender, type, text)) {
    }
    return text.GetString();
  }

  RouterWorld m_world;
  std::string m_name;
  CXTMailslotServer m_server;
};

TEST_F(MailRouterTest, MailFromAnotherComputer) {
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  ASSERT_TRUE(Send("über den Router|mit Strich"));
  CString sender, text;
  MAILTYPES type;
  ASSERT_TRUE(m_server.Read(sender, type, text));
  EXPECT_STREQ(text, "über den Router|mit Strich");
  EXPECT_EQ(type, MAILTYPE_USER);
  EXPECT_STREQ(sender, xtb::RemoteClientName().c_str());
  // Sub-names travel too; an endpoint nobody holds is refused by the
  // router (pipe mode tells the sender; a datagram is dropped and traced).
  CXTMailslotServer sub;
  ASSERT_TRUE(sub.Create(CString(m_name), "Praxis 1/Empfang"));
  ASSERT_TRUE(CXTMailslotClient::SendOneMessage(CString(m_world.routerAddress()), CString(m_name), "Praxis 1/Empfang",
                                                MAILTYPE_PING, "an die Unteradresse"));
  ASSERT_TRUE(sub.Read(sender, type, text));
  EXPECT_STREQ(text, "an die Unteradresse");
  EXPECT_EQ(Send("x") , true) << "the main endpoint still receives";
  EXPECT_EQ(ReadText(), "x");
}

// SendOneMessage hands the router the endpoint and the mail at once; a
// client's own Open and Write take a step each. Both tell the sender the same.
TEST_F(MailRouterTest, OpenAndWriteStepByStepAsWell) {
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  CXTMailslotClient client;
  ASSERT_TRUE(client.Open(CString(m_world.routerAddress()), CString(m_name), ""));
  ASSERT_TRUE(client.Write("PRAXIS", MAILTYPE_USER, "Schritt für Schritt"));
  EXPECT_TRUE(client.Close());
  CString sender, text;
  MAILTYPES type;
  ASSERT_TRUE(m_server.Read(sender, type, text));
  EXPECT_STREQ(sender, "PRAXIS");
  EXPECT_STREQ(text, "Schritt für Schritt");
}

TEST_F(MailRouterTest, EndpointNobodyHoldsFailsTheOpenInPipeMode) {
  if (!Pipes()) GTEST_SKIP() << "a datagram to a missing endpoint is dropped by the router without an answer";
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  // A long mail: the router closes on the unread rest, and its answer must
  // still reach the sender before the connection is reset.
  const std::string name = Unique("gone");
  const auto start = Clock::now();
  EXPECT_FALSE(CXTMailslotClient::SendOneMessage(CString(m_world.routerAddress()), CString(name), "", MAILTYPE_USER,
                                                 CString(std::string(60000, 'x'))));
  EXPECT_GE(Clock::now() - start, 4900ms) << "five attempts, a second apart";
  // The system's text ends with its own CR LF, which the record keeps.
  CString systemText = GetLastErrorString(nullptr, ERROR_FILE_NOT_FOUND);
  systemText.TrimRight("\r\n");
  EXPECT_TRUE(Traced("CXTMailslotClient::Open: CreateFile: '\\\\" + m_world.routerAddress() + "\\pipe\\" + name +
                     "' :" + systemText.GetString()))
      << Traces();
  EXPECT_FALSE(Traced("CXTMailslotClient::Write: ")) << "the mail was never handed on";
}

TEST_F(MailRouterTest, SenderOutsideTheAllowListRefusedUntilReload) {
  m_world.Configure("allow = 192.0.2.0/24 ::1\n");
  ASSERT_TRUE(m_world.StartRouter());
  const bool sent = Send("abgewiesen");
  EXPECT_EQ(sent, !Pipes()) << "a datagram leaves without answer; a connection is refused";
  EXPECT_TRUE(m_world.AwaitRouterTrace("xtmaild: Absender " + m_world.hostAddress() + " nicht zugelassen"))
      << m_world.RouterTraces();
  if (Pipes()) {
    EXPECT_TRUE(Traced("CXTMailslotClient::Open: CreateFile: '\\\\" + m_world.routerAddress()));
  }
  m_world.Configure("allow = 192.0.2.0/24 " + m_world.hostAddress() + "/32\n");
  m_world.Reload();
  ASSERT_TRUE(m_world.AwaitRouterTrace("Konfiguration neu geladen"));
  ASSERT_TRUE(Send("zugelassen"));
  EXPECT_EQ(ReadText(), "zugelassen") << "the refused mail must never arrive";
}

TEST_F(MailRouterTest, IdleConnectionNeitherBlocksOthersNorStays) {
  m_world.Configure("allow = " + m_world.hostAddress() + "\ntimeout_ms = 800\nmax_per_client = 3\n");
  ASSERT_TRUE(m_world.StartRouter());
  xtb::os::NetAddress router;
  ASSERT_TRUE(xtb::os::Resolve(m_world.routerAddress(), RouterWorld::Port(), router));
  // Connections that say nothing, and one that sends half an endpoint name.
  const int idle = xtb::os::TcpConnect(router, 5000);
  const int slow = xtb::os::TcpConnect(router, 5000);
  ASSERT_GE(idle, 0);
  ASSERT_GE(slow, 0);
  ASSERT_TRUE(xtb::os::SendAll(slow, "pipe\\hal", 8));
  const auto start = Clock::now();
  ASSERT_TRUE(Send("trotz stiller Verbindung"));
  EXPECT_EQ(ReadText(), "trotz stiller Verbindung");
  EXPECT_LT(Clock::now() - start, 700ms);
  // The router ends each within its time-out, telling why.
  for (int fd : {idle, slow}) {
    char status[4];
    ASSERT_TRUE(xtb::os::ReceiveAll(fd, status, 4));
    EXPECT_EQ(xtb::mail::GetStatus(status), static_cast<uint32_t>(ERROR_TIMEOUT));
    EXPECT_FALSE(xtb::os::ReceiveAll(fd, status, 1)) << "closed after the answer";
    xtb::os::CloseSocket(fd);
  }
  EXPECT_LT(Clock::now() - start, 3s);
  EXPECT_TRUE(m_world.AwaitRouterTrace("ms ohne Anfrage geschlossen"));
}

TEST_F(MailRouterTest, HostileBytesRefused) {
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  xtb::os::NetAddress router;
  ASSERT_TRUE(xtb::os::Resolve(m_world.routerAddress(), RouterWorld::Port(), router));
  // A pipe request for a mailslot endpoint, an endpoint too long and, to a
  // receiver that is there, a mail too long.
  std::vector<std::string> requests = {std::string("mailslot\\x", 11), "pipe\\" + std::string(400, 'x')};
  if (Pipes()) requests.push_back("pipe\\" + m_name + std::string("\0\x00\x01\x00\x01", 5));
  for (const std::string& request : requests) {
    const int fd = xtb::os::TcpConnect(router, 5000);
    ASSERT_GE(fd, 0);
    xtb::os::SendAll(fd, request.data(), request.size());
    char status[4];
    ASSERT_TRUE(xtb::os::ReceiveAll(fd, status, 4));
    uint32_t code = xtb::mail::GetStatus(status);
    if (code == 0) {  // the endpoint was reached; the length is what is refused
      ASSERT_TRUE(xtb::os::ReceiveAll(fd, status, 4));
      code = xtb::mail::GetStatus(status);
    }
    EXPECT_EQ(code, static_cast<uint32_t>(ERROR_INVALID_DATA));
    xtb::os::CloseSocket(fd);
  }
  // Datagrams without an endpoint, for a pipe, or too long are dropped.
  const int udp = xtb::os::UdpConnect(router);
  for (const std::string& packet : {std::string("kein Endpunkt"), xtb::mail::MakeDatagram("pipe\\" + m_name, "A|1|PING|x"),
                                    xtb::mail::MakeDatagram("mailslot\\" + m_name, std::string(500, 'y'))})
    xtb::os::SendDatagram(udp, packet.data(), packet.size());
  xtb::os::CloseSocket(udp);
  ASSERT_TRUE(Send("danach"));
  EXPECT_EQ(ReadText(), "danach");
  EXPECT_TRUE(m_world.AwaitRouterTrace("ungültige Anfrage von " + m_world.hostAddress()));
  EXPECT_TRUE(m_world.AwaitRouterTrace("ungültiges Paket von " + m_world.hostAddress()));
}

TEST_F(MailRouterTest, RouterKilledAndRestartedWhileSendersSend) {
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  std::set<std::string> reported;
  std::thread senders([&] {
    ChildProcess a({XTB_MAIL_PROBE, "send-logged", m_world.routerAddress(), m_name, "600", "a", "3"}),
        b({XTB_MAIL_PROBE, "send-logged", m_world.routerAddress(), m_name, "600", "b", "3"});
    // Everything the senders call sent: read while they run, so their output never fills up.
    std::thread readB([&] {
      for (std::string line; !(line = b.ReadLine()).empty();) reported.insert(line);
    });
    std::set<std::string> fromA;
    for (std::string line; !(line = a.ReadLine()).empty();) fromA.insert(line);
    readB.join();
    reported.insert(fromA.begin(), fromA.end());
    a.Wait();
    b.Wait();
    EXPECT_TRUE(Send("end"));
  });
  std::this_thread::sleep_for(500ms);
  m_world.StopRouter();
  std::this_thread::sleep_for(700ms);
  ASSERT_TRUE(m_world.StartRouter());
  std::map<std::string, int> received;
  for (std::string text; (text = ReadText()) != "end";) ++received[text];
  senders.join();
  size_t missing = 0;
  for (const std::string& text : reported) missing += received.count(text) == 0;
  for (const auto& [text, count] : received) EXPECT_EQ(count, 1) << text;
  std::printf("%s mode: %zu of 1200 reported sent, %zu received, %zu reported but not received\n",
              Pipes() ? "pipe" : "mailslot", reported.size(), received.size(), missing);
  EXPECT_GT(received.size(), 300u);
  if (Pipes()) {
    // A sent mail is one the router confirmed delivered; the senders' retries
    // (five, a second apart) outlast the router's absence.
    EXPECT_EQ(missing, 0u);
    // Only a mail in flight when the router died can fail, one per sender;
    // such a mail may still have reached the receiver (the router died after
    // delivering it, before confirming), never more than once (above).
    EXPECT_GE(reported.size(), 1198u);
    EXPECT_LE(received.size() - reported.size(), 1200u - reported.size());
  } else {
    // A datagram sent while no router listens is lost; nothing else may be.
    EXPECT_LE(received.size(), reported.size());
  }
}

TEST_F(MailRouterTest, EightSendersThroughTheRouter) {
  // Mailslot mode may lose datagrams (a full socket buffer of the router or
  // of the receiver drops them); pipe mode loses none.
  constexpr int kSenders = 8, kMails = 1500;
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  std::thread senders([&] {
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int s = 0; s < kSenders; ++s)
      children.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{
          XTB_MAIL_PROBE, "send", m_world.routerAddress(), m_name, std::to_string(kMails), "s" + std::to_string(s)}));
    for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
    std::this_thread::sleep_for(200ms);  // the last datagrams arrive before the end mark
    EXPECT_TRUE(Send("end"));
  });
  std::map<std::string, int> received;
  for (std::string text; (text = ReadText()) != "end";) ++received[text];
  senders.join();
  for (const auto& [text, count] : received) ASSERT_EQ(count, 1) << text;
  const size_t sent = kSenders * kMails, lost = sent - received.size();
  std::printf("%s mode through the router: %zu sent, %zu received, %zu lost\n", Pipes() ? "pipe" : "mailslot", sent,
              received.size(), lost);
  if (Pipes()) {
    EXPECT_EQ(lost, 0u);
    EXPECT_NE(m_world.RouterTraces().find(" zugestellt"), std::string::npos) << "each delivery is recorded at level 3";
  } else {
    EXPECT_LE(received.size(), sent);
  }
}

// A receiver that never reads, flooded with datagrams, costs the others
// nothing: the router never waits for it, drops what it cannot take and
// says so.
TEST_F(MailRouterTest, ReceiverThatNeverReadsHoldsUpNoOtherMail) {
  if (Pipes()) GTEST_SKIP() << "pipe-mode deliveries never wait: each is one connection that is refused when full";
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  const std::string stalled = Unique("stalled");
  CXTMailslotServer neverRead;
  ASSERT_TRUE(neverRead.Create(CString(stalled), ""));
  xtb::os::NetAddress router;
  ASSERT_TRUE(xtb::os::Resolve(m_world.routerAddress(), RouterWorld::Port(), router));
  const int udp = xtb::os::UdpConnect(router);
  ASSERT_GE(udp, 0);
  const std::string packet =
      xtb::mail::MakeDatagram("mailslot\\" + stalled, "FLUT|1|PING|" + std::string(300, 'f'));
  for (int n = 0; n < 400; ++n) xtb::os::SendDatagram(udp, packet.data(), packet.size());
  xtb::os::CloseSocket(udp);
  auto arrived = std::async(std::launch::async, [this] { return ReadText(); });
  const auto start = Clock::now();
  ASSERT_TRUE(Send("an der Flut vorbei"));
  ASSERT_EQ(arrived.wait_for(100ms), std::future_status::ready) << "another endpoint's mail waited behind the flood";
  EXPECT_LT(Clock::now() - start, 100ms);
  EXPECT_EQ(arrived.get(), "an der Flut vorbei");
  EXPECT_TRUE(m_world.AwaitRouterTrace(" verworfen: der Empfänger nimmt nichts an")) << m_world.RouterTraces();
}

// A peer's endpoint name with a line break starts no record of its own in
// the router's trace file.
TEST_F(MailRouterTest, LineBreaksFromThePeerForgeNoRecords) {
  m_world.Configure("allow = " + m_world.hostAddress() + "\n");
  ASSERT_TRUE(m_world.StartRouter());
  // Pipe mode records each delivery; mailslot mode each mail it cannot deliver.
  const std::string name = Unique("crlf") + "\r\nFORGED\tFAIL \trecord";
  CXTMailslotServer receiver;
  if (Pipes()) {
    ASSERT_TRUE(receiver.Create(CString(name), ""));
  }
  EXPECT_TRUE(CXTMailslotClient::SendOneMessage(CString(m_world.routerAddress()), CString(name), "", MAILTYPE_PING, "x"));
  ASSERT_TRUE(m_world.AwaitRouterTrace("\\x0d\\x0aFORGED\\x09FAIL \\x09record")) << m_world.RouterTraces();
  EXPECT_EQ(m_world.RouterTraces().find("\nFORGED"), std::string::npos) << m_world.RouterTraces();
}

// Every account of the router's computer can connect from any loopback
// address; eighty such connections, from as many addresses, leave room for
// the other computers' mail.
TEST_F(MailRouterTest, LoopbackConnectionsLeaveRoomForOthers) {
  if (!Pipes()) GTEST_SKIP() << "only pipe-mode mail takes connections";
  m_world.Configure("allow = " + m_world.hostAddress() + " 127.0.0.0/8\nlisten = 0.0.0.0\n");
  ASSERT_TRUE(m_world.StartRouter());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const unsigned short port = RouterWorld::Port();
  const std::string netns = "/var/run/netns/" + m_world.netns();
  const pid_t flooder = fork();
  if (flooder == 0) {
    // Another account on the router's computer.
    const int space = open(netns.c_str(), O_RDONLY | O_CLOEXEC);
    if (space < 0 || setns(space, CLONE_NEWNET) != 0 || !BecomeNobody()) _exit(1);
    int opened = 0;
    for (int n = 0; n < 80; ++n) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in from{}, to{};
      from.sin_family = to.sin_family = AF_INET;
      from.sin_addr.s_addr = htonl(0x7F000002u + static_cast<unsigned>(n));
      to.sin_addr.s_addr = htonl(0x7F000001u);
      to.sin_port = htons(port);
      opened += bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
                connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    }
    const char count = static_cast<char>(opened);
    if (write(ready[1], &count, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char opened = 0;
  ASSERT_EQ(read(ready[0], &opened, 1), 1);
  close(ready[0]);
  EXPECT_EQ(opened, 80) << "the flooder's connects";
  std::this_thread::sleep_for(100ms);  // the router has taken them all
  const bool sent = Send("trotz lokaler Flut");
  kill(flooder, SIGKILL);
  waitpid(flooder, nullptr, 0);
  ASSERT_TRUE(sent) << "the loopback connections took every one the router has";
  EXPECT_EQ(ReadText(), "trotz lokaler Flut");
  EXPECT_TRUE(m_world.AwaitRouterTrace("Verbindungen dieses Absenders offen")) << m_world.RouterTraces();
}

}  // namespace
