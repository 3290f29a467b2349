// Endpoints between processes: mail from one process to another, live and
// dead receivers, the size limits and the records of failed sends.
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "child_process.h"
#include "mail_fixture.h"
#include "tool_run.h"

namespace {

using Clock = std::chrono::steady_clock;

class MailEndpointTest : public MailTest {};

TEST_F(MailEndpointTest, MailFromAnotherProcess) {
  const std::string name = Unique("proc");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), "Praxis 1/Empfang"));
  const ToolRun run = RunTool("mail send . '" + name + "' 'Praxis 1/Empfang' user 'Termin um 10|30'" +
                              (Pipes() ? " --pipes" : ""));
  ASSERT_EQ(run.status, 0) << run.output;
  CString sender, text;
  MAILTYPES type = MAILTYPE_NONE;
  ASSERT_TRUE(server.Read(sender, type, text));
  EXPECT_EQ(type, MAILTYPE_USER);
  EXPECT_STREQ(text, "Termin um 10|30");
  EXPECT_STREQ(sender, xtb::RemoteClientName().c_str());
}

TEST_F(MailEndpointTest, LiveReceiverKeepsItsNameADeadOneLosesIt) {
  const std::string name = Unique("held");
  ChildProcess holder({XTB_MAIL_PROBE, "hold", name});
  ASSERT_EQ(holder.ReadLine(), "ready");
  CXTMailslotServer second;
  EXPECT_FALSE(second.Create(CString(name), ""));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  // Names are case-insensitive.
  EXPECT_FALSE(second.Create(CString("HELD" + name.substr(4)), ""));
  // Refused like any failing step: one record with the endpoint.
  const char* step = Pipes() ? "CreateNamedPipe: '\\\\.\\pipe\\" : "CreateMailslot: '\\\\.\\mailslot\\";
  EXPECT_TRUE(Traced(std::string("CXTMailslotServer::Create: ") + step + "HELD" + name.substr(4) + "': ")) << Traces();
  holder.Kill();
  // The dead receiver's file is still there; a sender is refused, and the
  // name can be created again.
  CXTMailslotClient client;
  if (!Pipes()) {
    EXPECT_FALSE(client.Open(".", CString(name), ""));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }
  ASSERT_TRUE(second.Create(CString(name), ""));
  EXPECT_EQ(SendAndRead(second, name, "wieder da"), "wieder da");
}

// Senders keep what they reached of an endpoint. A receiver that ended is
// missing for the next mail as for a first one, and one that took its name
// gets every mail after that.
TEST_F(MailEndpointTest, ReceiverThatEndedAndOneThatTookItsName) {
  const std::string name = Unique("taken");
  {
    CXTMailslotServer first;
    ASSERT_TRUE(first.Create(CString(name), ""));
    EXPECT_EQ(SendAndRead(first, name, "an den ersten"), "an den ersten");
  }
  if (!Pipes()) {  // pipe mode would try five times, a second apart
    EXPECT_FALSE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, "ins Leere"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(Traced("CXTMailslotClient::Open: CreateFile: '\\\\.\\mailslot\\" + name + "' :")) << Traces();
  }
  CXTMailslotServer second;
  ASSERT_TRUE(second.Create(CString(name), ""));
  for (const char* text : {"an den zweiten", "und noch einmal"}) EXPECT_EQ(SendAndRead(second, name, text), text);
}

TEST_F(MailEndpointTest, MissingReceiverTracedWithThePath) {
  const std::string name = Unique("none");
  const auto start = Clock::now();
  EXPECT_FALSE(CXTMailslotClient::SendOneMessage(".", CString(name), "Sub 1", MAILTYPE_PING, "x"));
  const auto elapsed = Clock::now() - start;
  const std::string path = Pipes() ? "\\\\.\\pipe\\" + name + "_Sub_1" : "\\\\.\\mailslot\\" + name + "\\Sub_1";
  EXPECT_TRUE(Traced("CXTMailslotClient::Open: CreateFile: '" + path + "' :")) << Traces();
  // Pipe mode tries five times, a second apart; mailslot mode once.
  if (Pipes())
    EXPECT_GE(elapsed, std::chrono::milliseconds(4900));
  else
    EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
}

TEST_F(MailEndpointTest, LongMailsCutInMailslotModeOnly) {
  const std::string name = Unique("long");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  CXTMailslotClient client;
  ASSERT_TRUE(client.Open(".", CString(name), ""));
  const std::string body(500, 'z');
  ASSERT_TRUE(client.Write("WS", MAILTYPE_PQMSG, CString(body)));
  CString sender, text;
  MAILTYPES type;
  ASSERT_TRUE(server.Read(sender, type, text));
  const std::string got(text.GetString(), text.GetLength());
  if (Pipes()) {
    EXPECT_EQ(got, body);
    EXPECT_EQ(CXTMailslotClient::MaxMessageLength(), 65536);
  } else {
    // "WS|<id>|PQMSG|" (11 characters and an id of 1 to 7) and the text make
    // 424 characters, the last three of them dots.
    EXPECT_GE(got.size(), 424u - 11 - 7);
    EXPECT_LE(got.size(), 424u - 11 - 1);
    EXPECT_EQ(got.substr(got.size() - 3), "...");
    EXPECT_EQ(got.find_first_not_of('z'), got.size() - 3);
    EXPECT_EQ(CXTMailslotClient::MaxMessageLength(), 398);
  }
}

TEST_F(MailEndpointTest, IdsNeverRepeatAcrossProcesses) {
  const std::string name = Unique("ids");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  // Two processes send at once; a last mail of the test's own marks the end.
  std::thread senders([&] {
    ChildProcess a({XTB_MAIL_PROBE, "send", ".", name, "300", "a"}), b({XTB_MAIL_PROBE, "send", ".", name, "300", "b"});
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
    EXPECT_TRUE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, "end"));
  });
  std::set<std::string> texts;
  CString from, text;
  MAILTYPES type;
  while (!(server.Read(from, type, text) && text == "end")) texts.insert(text.GetString());
  senders.join();
  texts.erase("");
  EXPECT_EQ(texts.size(), 600u) << "mails of two processes sent in the same millisecond were taken for repeats";
}

// Senders reach an endpoint through their own descriptor of its socket,
// named in /proc. A forked sender has an id of its own, and one in a pid
// namespace whose /proc is not its own (pid 1 there names another process)
// must not reach through another process's descriptor of that number.
TEST_F(MailEndpointTest, ForkedSenderInAPidNamespaceOfItsOwnReachesTheEndpoint) {
  if (geteuid() != 0) GTEST_SKIP() << "a pid namespace needs root";
  const std::string name = Unique("pidns");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  // This process reaches the endpoint first, so that the sender inherits
  // what it keeps of it.
  ASSERT_EQ(SendAndRead(server, name, "first"), "first");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Its next child is pid 1 of a new namespace, /proc still this one's.
    if (unshare(CLONE_NEWPID) != 0) _exit(2);
    const pid_t sender = fork();
    if (sender == 0)
      _exit(getpid() == 1 && CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, "nested") ? 0 : 1);
    int status = 0;
    _exit(sender > 0 && waitpid(sender, &status, 0) == sender && WIFEXITED(status) ? WEXITSTATUS(status) : 3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 2) << "no pid namespace could be made";
  ASSERT_EQ(WEXITSTATUS(status), 0) << "the sender in the namespace failed";
  CString from, text;
  MAILTYPES type;
  ASSERT_TRUE(server.Read(from, type, text));
  EXPECT_STREQ(text, "nested");
}

}  // namespace
