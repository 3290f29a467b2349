// The mail folder is written by every account of the practice. Names that
// another account planted there (links, files, pipes, sockets it left) never
// make a receiver of this account write, remove or change anything outside
// the folder: the receiver refuses, says why in its trace, and works again
// once the name is free. Played with a real second account (nobody), the
// receiver as root.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fcntl.h>
#include <poll.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <filesystem>

#include "child_process.h"
#include "mail_fixture.h"
#include "second_account.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

class SharedMailFolder : public MailTest {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play a second account";
    MailTest::SetUp();
    // nobody reaches the mail folder; the secret beside it is root's alone.
    fs::permissions(MailWorld::Get().dir(), fs::perms(0755));
    m_folder = MailWorld::Get().dir() / "mail";
    m_secret = (MailWorld::Get().dir() / ("secret-" + Unique("s"))).string();
    MakeRootSecret(m_secret);
    CXTMailslotServer maker;  // makes the folder as the library does
    ASSERT_TRUE(maker.Create(CString(Unique("maker")), ""));
    ASSERT_EQ(fs::status(m_folder).permissions(), fs::perms(01777));
  }
  void TearDown() override { fs::remove(m_secret); }

  std::string FileOf(const std::string& name) const {
    return (m_folder / xtb::mail::EndpointFile(xtb::mail::EndpointName(Pipes(), CString(name), ""))).string();
  }
  void ExpectSecretUntouched() const { EXPECT_TRUE(RootSecretUntouched(m_secret)); }
  // What lies under `path` itself: its kind and owner, a link not followed.
  static std::string KindOf(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return "none";
    const char* kind = S_ISLNK(info.st_mode) ? "link" : S_ISFIFO(info.st_mode) ? "fifo" : S_ISSOCK(info.st_mode) ? "socket"
                                                   : S_ISREG(info.st_mode)  ? "file"
                                                                            : "other";
    return std::string(kind) + "/" + std::to_string(info.st_uid) + "/" + std::to_string(info.st_nlink);
  }

  fs::path m_folder;
  std::string m_secret;
};

using xtb::os::SocketKind;

// A socket of `kind` bound at `path` (and listening, for connections), open
// to everyone: a receiver that nothing of this library made.
int BoundSocket(const std::string& path, SocketKind kind) {
  const int fd = socket(AF_UNIX, (kind == SocketKind::Sequenced ? SOCK_SEQPACKET : SOCK_DGRAM) | SOCK_NONBLOCK, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (fd < 0 || path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.data(), path.size());
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || chmod(path.c_str(), 0666) != 0 ||
      (kind == SocketKind::Sequenced && listen(fd, 8) != 0)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Each way nobody can occupy a name of the endpoint, and how it is planted.
struct Plant {
  const char* what;
  const char* suffix;  // "" for the socket's own name, ".lock" for its lock file
  const char* reason;  // in the receiver's trace
};

bool PlantAs(const std::string& what, const std::string& secret, const std::string& path) {
  if (what == "symlink") return PlantSymlinkAsNobody(secret, path);
  if (what == "hardlink") return PlantHardLink(secret, path);
  if (what == "fifo") return AsNobody([&] { return mkfifo(path.c_str(), 0666) == 0; });
  return AsNobody([&] {
    std::ofstream(path) << "nobody's\n";
    return fs::is_regular_file(path);
  });
}

TEST_F(SharedMailFolder, PlantedNamesAreRefusedTracedAndLeftAsTheyWere) {
  const Plant plants[] = {
      {"symlink", "", "the name is a symbolic link"},     {"hardlink", "", "the name is no socket"},
      {"fifo", "", "the name is no socket"},              {"file", "", "the name is no socket"},
      {"symlink", ".lock", "the name is a symbolic link"}, {"hardlink", ".lock", "the file has other names"},
      {"fifo", ".lock", "the name is no regular file"},
  };
  for (const Plant& plant : plants) {
    SCOPED_TRACE(std::string(plant.what) + " as " + (*plant.suffix ? plant.suffix : "the socket"));
    const std::string name = Unique(std::string(plant.what) + (*plant.suffix ? "lock" : "sock"));
    const std::string path = FileOf(name) + plant.suffix;
    ASSERT_TRUE(PlantAs(plant.what, m_secret, path));
    const std::string planted = KindOf(path);
    fs::remove(MailWorld::Get().TraceFile());

    CXTMailslotServer server;
    EXPECT_FALSE(server.Create(CString(name), ""));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const std::string file = fs::path(path).filename().string();
    EXPECT_NE(Traces().find("CXTMailslotServer::Create: "), std::string::npos) << Traces();
    EXPECT_NE(Traces().find("(" + file + ": " + plant.reason), std::string::npos) << Traces();
    EXPECT_EQ(KindOf(path), planted) << "the planted name stays as it was";
    ExpectSecretUntouched();

    // Once its owner took the name away, the endpoint is made and works.
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_TRUE(server.Create(CString(name), ""));
    EXPECT_EQ(SendAndRead(server, name, "frei"), "frei");
    EXPECT_EQ(KindOf(FileOf(name)), "socket/0/1");
  }
}

// A lock file that another account made is shared, as every endpoint's is.
TEST_F(SharedMailFolder, AnotherAccountsLockFileIsShared) {
  const std::string name = Unique("theirs");
  ASSERT_TRUE(AsNobody([&] {
    std::ofstream(FileOf(name) + ".lock");
    return chmod((FileOf(name) + ".lock").c_str(), 0666) == 0;
  }));
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  EXPECT_EQ(KindOf(FileOf(name) + ".lock"), "file/65534/1");
}

// A receiver of another account that ended (killed, never closed) leaves
// its socket. Root, which a service restarted by the administrator runs as,
// replaces it; an ordinary account cannot remove it from the sticky folder
// and is told whose socket stands in the way.
TEST_F(SharedMailFolder, DeadReceiverOfAnotherAccount) {
  const std::string nobodys = Unique("nobodys");
  ASSERT_TRUE(AsNobody([&] {
    CXTMailslotServer* left = new CXTMailslotServer;  // never closed: the process ends with it
    return left->Create(CString(nobodys), "");
  }));
  EXPECT_EQ(KindOf(FileOf(nobodys)), "socket/65534/1");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(nobodys), "")) << Traces();
  EXPECT_EQ(KindOf(FileOf(nobodys)), "socket/0/1");
  EXPECT_EQ(SendAndRead(server, nobodys, "übernommen"), "übernommen");

  const std::string roots = Unique("roots");
  ChildProcess holder({XTB_MAIL_PROBE, "hold", roots});
  ASSERT_EQ(holder.ReadLine(), "ready");
  holder.Kill();
  ASSERT_EQ(KindOf(FileOf(roots)), "socket/0/1");
  const std::string file = fs::path(FileOf(roots)).filename().string();
  EXPECT_TRUE(AsNobody([&] {
    std::string refusal;
    const int fd = xtb::mail::CreateMailEndpoint(file, Pipes() ? xtb::os::SocketKind::Sequenced : xtb::os::SocketKind::Datagram,
                                                 &refusal);
    return fd < 0 && errno == EACCES &&
           refusal == file + ": left by an ended receiver of user id 0, which only that user or root can remove";
  }));
  EXPECT_EQ(KindOf(FileOf(roots)), "socket/0/1") << "root's socket stays";
}

// The machine's mail-id clock is a file of the folder too: a planted link
// is not followed; the sender falls back to its own clock and still sends.
TEST_F(SharedMailFolder, PlantedClockFileIsNotFollowed) {
  const std::string clock = (m_folder / ".mailclock-0").string();
  fs::remove(clock);
  ASSERT_TRUE(PlantSymlinkAsNobody(m_secret, clock));
  const std::string name = Unique("clock");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  const ToolRun run = RunTool("mail send . '" + name + "' '' user 'trotz Uhr'" + (Pipes() ? " --pipes" : ""));
  ASSERT_EQ(run.status, 0) << run.output;
  CString sender, text;
  MAILTYPES type;
  ASSERT_TRUE(server.Read(sender, type, text));
  EXPECT_STREQ(text, "trotz Uhr");
  EXPECT_EQ(KindOf(clock), "link/65534/1");
  ExpectSecretUntouched();
}

// Whatever another account can open of the mail-id clocks, it truncates:
// a sender that has its clock mapped must go on sending, not die of SIGBUS.
TEST_F(SharedMailFolder, TruncatedClockKillsNoSender) {
  const std::string name = Unique("truncate");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  ChildProcess sender({XTB_MAIL_PROBE, "send-logged", ".", name, "3", "tick", "300"});
  CString from, text;
  MAILTYPES type;
  ASSERT_TRUE(server.Read(from, type, text));  // its clock is mapped now
  EXPECT_STREQ(text, "tick 0");
  int truncated = 0;
  for (const auto& entry : fs::directory_iterator(m_folder)) {
    const std::string file = entry.path().filename().string();
    if (!file.starts_with(".mailclock")) continue;
    truncated += AsNobody([&] { return truncate(entry.path().c_str(), 0) == 0; });
  }
  EXPECT_EQ(truncated, 0) << "another account truncated a clock file";
  EXPECT_EQ(sender.Wait(), 0) << "the sender died or failed";
  for (const char* expected : {"tick 1", "tick 2"}) {
    ASSERT_TRUE(server.Read(from, type, text));
    EXPECT_STREQ(text, expected);
  }
}

// Another account that sends this workstation's name with every id the
// next few hundred milliseconds can give blocks none of them: the receiver
// keeps each sending account's keys apart.
TEST_F(SharedMailFolder, ForgedKeysOfAnotherAccountDropNoMail) {
  const std::string name = Unique("forged");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  std::atomic<bool> genuineRead{false};
  std::atomic<int> forgedRead{0};
  std::thread reader([&] {
    CString from, text;
    MAILTYPES type;
    for (;;) {
      if (!server.Read(from, type, text)) continue;
      if (text == "echt") genuineRead = true;
      if (text == "ende") return;
      if (text == "gefälscht") ++forgedRead;
    }
  });
  const auto now = [] {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count());
  };
  constexpr uint64_t kAhead = 1500;
  const uint64_t from = now();
  const std::string workstation = xtb::RemoteClientName();
  const CString endpoint(name);
  ASSERT_TRUE(AsNobody([&] {
    for (uint64_t value = from; value < from + kAhead; ++value) {
      std::string id;
      for (uint64_t rest = value % 78364164096ULL; rest > 0; rest /= 36)
        id.insert(id.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[rest % 36]);
      if (!SendRaw(endpoint, "", workstation + "|" + id + "|PING|gefälscht")) return false;
    }
    return true;
  }));
  ASSERT_LT(now(), from + kAhead) << "too slow to forge ahead of the clock";
  ASSERT_TRUE(CXTMailslotClient::SendOneMessage(".", endpoint, "", MAILTYPE_PING, "echt"));
  for (int wait = 0; wait < 100 && !genuineRead; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(genuineRead) << "the genuine mail was dropped as a repeat of a forged one";
  EXPECT_EQ(forgedRead, static_cast<int>(kAhead)) << "the forged mails arrive as what they are";
  while (now() < from + kAhead) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(CXTMailslotClient::SendOneMessage(".", endpoint, "", MAILTYPE_PING, "ende"));
  reader.join();
}

// A link that another account planted at an endpoint's name leads a sender
// nowhere, one that reached the name's receiver before included: the socket
// it points to (a service's, here root's) gets nothing.
TEST_F(SharedMailFolder, LinkAtAnEndpointLeadsNoSenderAway) {
  const std::string victim = (MailWorld::Get().dir() / ("svc-" + std::to_string(getpid()))).string();
  const int service = socket(AF_UNIX, (Pipes() ? SOCK_SEQPACKET : SOCK_DGRAM) | SOCK_NONBLOCK, 0);
  ASSERT_GE(service, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(victim.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, victim.data(), victim.size());
  ASSERT_EQ(bind(service, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(chmod(victim.c_str(), 0666), 0);
  if (Pipes()) {
    ASSERT_EQ(listen(service, 8), 0);
  }
  const std::string name = Unique("linked");
  {
    // Planted after senders reached a receiver of the name, which ended.
    CXTMailslotServer ended;
    ASSERT_TRUE(ended.Create(CString(name), ""));
    ASSERT_EQ(SendAndRead(ended, name, "vorher"), "vorher");
  }
  ASSERT_EQ(unlink(FileOf(name).c_str()), 0);
  ASSERT_TRUE(PlantSymlinkAsNobody(victim, FileOf(name)));
  // What the sender and the router connect through (pipe-mode senders
  // would try it five times, a second apart).
  errno = 0;
  EXPECT_LT(xtb::mail::ConnectMailEndpoint(fs::path(FileOf(name)).filename().string(),
                                           Pipes() ? xtb::os::SocketKind::Sequenced : xtb::os::SocketKind::Datagram),
            0);
  EXPECT_EQ(errno, EACCES);
  if (!Pipes()) {
    EXPECT_FALSE(CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, "umgeleitet"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  pollfd waiting{service, POLLIN, 0};
  EXPECT_EQ(poll(&waiting, 1, 50), 0) << "the sender reached the socket the link points to";
  EXPECT_EQ(KindOf(FileOf(name)), "link/65534/1");
  close(service);
  unlink(victim.c_str());
}

// A mail folder that someone else could change is not used at all.
TEST_F(SharedMailFolder, FolderOfAnotherAccountOrALinkIsRefused) {
  // Both where nobody may make them: in the shared folder itself.
  const fs::path theirs = m_folder / ("theirs-" + Unique("f"));
  const fs::path link = m_folder / ("link-" + Unique("l"));
  ASSERT_TRUE(AsNobody([&] { return mkdir(theirs.c_str(), 01777) == 0 && chmod(theirs.c_str(), 01777) == 0; }));
  ASSERT_TRUE(PlantSymlinkAsNobody(m_folder.string(), link.string()));
  for (const fs::path& folder : {theirs, link}) {
    SCOPED_TRACE(folder.string());
    setenv("XTBASIS_MAIL_DIR", folder.c_str(), 1);
    CXTMailslotServer server;
    EXPECT_FALSE(server.Create(CString(Unique("elsewhere")), ""));
    EXPECT_TRUE(fs::is_empty(theirs));
  }
  setenv("XTBASIS_MAIL_DIR", m_folder.c_str(), 1);
}

// Senders keep the mail folder they checked open. A folder put at its path
// later by another account is refused as it would have been at the first
// send, whether the old one was removed or moved aside, and a socket in it
// gets nothing; a folder that its owner removed and made anew is used.
TEST_F(SharedMailFolder, KeptFolderGivesWayOnlyToAFolderThatPassesTheCheck) {
  const SocketKind kind = Pipes() ? SocketKind::Sequenced : SocketKind::Datagram;
  for (const bool movedAside : {false, true}) {
    SCOPED_TRACE(movedAside ? "moved aside" : "removed");
    // Short names: the planted socket's address holds the whole path.
    const std::string tag = std::to_string(getpid()) + (movedAside ? "m" : "r");
    const fs::path folder = m_folder / ("swap" + tag);
    setenv("XTBASIS_MAIL_DIR", folder.c_str(), 1);
    const std::string name = "kept" + tag;
    const std::string file = xtb::mail::EndpointFile(xtb::mail::EndpointName(Pipes(), CString(name), ""));
    {
      CXTMailslotServer server;
      ASSERT_TRUE(server.Create(CString(name), ""));
      EXPECT_EQ(SendAndRead(server, name, "zuerst"), "zuerst");
    }
    // Swapped: another account's folder at the path, a live socket of the
    // endpoint's name in it.
    if (movedAside) {
      fs::rename(folder, folder.string() + ".old");
    } else {
      fs::remove_all(folder);
    }
    ASSERT_TRUE(AsNobody([&] { return mkdir(folder.c_str(), 01777) == 0 && chmod(folder.c_str(), 01777) == 0; }));
    const int planted = BoundSocket((folder / file).string(), kind);
    ASSERT_GE(planted, 0) << std::strerror(errno);
    errno = 0;
    EXPECT_LT(xtb::mail::ConnectMailEndpoint(file, kind), 0);
    EXPECT_EQ(errno, EACCES) << std::strerror(errno);
    pollfd waiting{planted, POLLIN, 0};
    EXPECT_EQ(poll(&waiting, 1, 50), 0) << "a sender reached the socket in the swapped-in folder";
    close(planted);

    // Its owner makes the folder anew: the receiver and its senders meet there.
    fs::remove_all(folder);
    CXTMailslotServer server;
    ASSERT_TRUE(server.Create(CString(name), "")) << Traces();
    EXPECT_EQ(SendAndRead(server, name, "wieder da"), "wieder da");
    fs::remove_all(folder.string() + ".old");
  }
  setenv("XTBASIS_MAIL_DIR", m_folder.c_str(), 1);
}

// A sender reaches the socket it checked, not whatever its name leads to
// at the moment of the connect: a socket exchanged with the endpoint's
// under their names, as fast as possible while mail is sent, gets none.
TEST_F(SharedMailFolder, ASocketSwappedInUnderThePathGetsNoMail) {
  if (!Pipes()) GTEST_SKIP() << "a datagram sender keeps its connection";
  const std::string name = Unique("race");
  CXTMailslotServer server;
  ASSERT_TRUE(server.Create(CString(name), ""));
  ASSERT_EQ(SendAndRead(server, name, "zuerst"), "zuerst");
  const std::string endpoint = FileOf(name);
  const std::string aside = (m_folder / ("planted" + std::to_string(getpid()))).string();
  const int planted = BoundSocket(aside, SocketKind::Sequenced);
  ASSERT_GE(planted, 0) << std::strerror(errno);

  std::atomic<bool> stop{false};
  std::atomic<int> exchanges{0};
  std::thread swapper([&] {
    while (!stop)
      if (renameat2(AT_FDCWD, endpoint.c_str(), AT_FDCWD, aside.c_str(), RENAME_EXCHANGE) == 0) exchanges++;
  });
  constexpr int kMails = 1500;
  int sent = 0;
  for (int i = 0; i < kMails; ++i) sent += CXTMailslotClient::SendOneMessage(".", CString(name), "", MAILTYPE_PING, "echt");
  stop = true;
  swapper.join();
  EXPECT_GT(exchanges, 100) << "the names were hardly exchanged";
  EXPECT_EQ(sent, kMails) << Traces();

  pollfd waiting{planted, POLLIN, 0};
  ASSERT_EQ(poll(&waiting, 1, 0), 0) << "a sender reached the planted socket";
  CString from, text;
  MAILTYPES type;
  for (int i = 0; i < sent; ++i) {
    ASSERT_TRUE(server.Read(from, type, text));
    ASSERT_STREQ(text, "echt");
  }
  close(planted);
  unlink(aside.c_str());
}

}  // namespace
