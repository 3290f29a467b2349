// The kiosk installation against the real account tools, in a throw-away
// root holding copies of the machine's account files: the machine's own
// accounts are never touched.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <xtbasis/kiosk.h>

#include "kiosk.h"
#include "os/accounts.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class KioskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "the account tools need root";
    m_root = fs::temp_directory_path() / ("xtb-kiosk-" + std::to_string(getpid()));
    fs::create_directories(m_root / "etc/default");
    fs::create_directories(m_root / "home");
    for (const char* file : {"passwd", "shadow", "group", "gshadow", "login.defs", "default/useradd"}) {
      if (fs::exists(fs::path("/etc") / file)) fs::copy_file(fs::path("/etc") / file, m_root / "etc" / file);
    }
    m_realPasswd = Read("/etc/passwd");
    m_request.root = m_root.string();
    m_request.user = "xtbkiosk1";
    m_request.password = "Gr\xC3\xBCn-2026";
    m_request.comment = "Empfang";
    m_request.program = "/opt/praxis/bin/Termine";
  }
  void TearDown() override {
    if (m_root.empty()) return;
    EXPECT_EQ(Read("/etc/passwd"), m_realPasswd) << "the machine's own accounts changed";
    fs::remove_all(m_root);
  }
  std::string Etc(const char* file) const { return Read(m_root / "etc" / file); }

  fs::path m_root;
  std::string m_realPasswd;
  xtb::kiosk::Request m_request;
};

TEST_F(KioskTest, CreatesReusesAndRemovesALocalAccount) {
  // An earlier session choice of the user is given back on removal.
  fs::create_directories(m_root / "var/lib/AccountsService/users");
  std::ofstream(m_root / "var/lib/AccountsService/users/xtbkiosk1") << "[User]\nLanguage=de_DE.UTF-8\nSession=gnome\n";

  DWORD created = 7;
  CString error;
  ASSERT_TRUE(xtb::kiosk::Install(m_request, &created, &error)) << error.GetString();
  EXPECT_EQ(created, 1u);
  EXPECT_NE(Etc("passwd").find("\nxtbkiosk1:x:"), std::string::npos);
  EXPECT_NE(Etc("passwd").find(":Empfang:"), std::string::npos);
  // Member of the ordinary users' group (id 100).
  const std::string group = Etc("group");
  const size_t users = group.find(":x:100:");
  ASSERT_NE(users, std::string::npos);
  EXPECT_NE(group.substr(users, group.find('\n', users) - users).find("xtbkiosk1"), std::string::npos);

  const std::string entry = Read(xtb::kiosk::SessionEntryPath(m_request.root, "xtbkiosk1"));
  EXPECT_TRUE(HasLine(entry, "Exec=cage -- \"/opt/praxis/bin/Termine\"")) << entry;
  std::string settings = Read(xtb::kiosk::UserSettingsPath(m_request.root, "xtbkiosk1"));
  EXPECT_TRUE(HasLine(settings, "Session=xtbasis-kiosk-xtbkiosk1")) << settings;
  EXPECT_TRUE(HasLine(settings, "XSession=xtbasis-kiosk-xtbkiosk1")) << settings;
  EXPECT_TRUE(HasLine(settings, "Language=de_DE.UTF-8")) << settings;
  EXPECT_FALSE(HasLine(settings, "Session=gnome")) << settings;

  // A second run finds the account by its password: not created again, only
  // the session set, now to another program.
  const std::string passwdBefore = Etc("passwd");
  m_request.program = "/opt/praxis/bin/Kasse";
  ASSERT_TRUE(xtb::kiosk::Install(m_request, &created, &error)) << error.GetString();
  EXPECT_EQ(created, 0u);
  EXPECT_EQ(Etc("passwd"), passwdBefore);
  EXPECT_NE(Read(xtb::kiosk::SessionEntryPath(m_request.root, "xtbkiosk1")).find("Kasse"), std::string::npos);

  // The same name with another password is no account of this installation.
  m_request.password = "falsch";
  EXPECT_FALSE(xtb::kiosk::Install(m_request, &created, &error));
  EXPECT_EQ(error.str().rfind("LogonUser: ", 0), 0u) << error.GetString();
  EXPECT_EQ(Etc("passwd"), passwdBefore);

  // Removal deletes the account the installation made and gives the old session back.
  ASSERT_TRUE(xtb::kiosk::Remove(m_request.root, "xtbkiosk1", &error)) << error.GetString();
  EXPECT_EQ(Etc("passwd").find("xtbkiosk1"), std::string::npos);
  EXPECT_EQ(Etc("shadow").find("xtbkiosk1"), std::string::npos);
  EXPECT_FALSE(fs::exists(xtb::kiosk::SessionEntryPath(m_request.root, "xtbkiosk1")));
  settings = Read(xtb::kiosk::UserSettingsPath(m_request.root, "xtbkiosk1"));
  EXPECT_TRUE(HasLine(settings, "Session=gnome")) << settings;
  EXPECT_FALSE(HasLine(settings, "XSession=xtbasis-kiosk-xtbkiosk1")) << settings;
  // Nothing left to remove.
  EXPECT_FALSE(xtb::kiosk::Remove(m_request.root, "xtbkiosk1", &error));
}

TEST_F(KioskTest, RemovalKeepsAnAccountItDidNotCreate) {
  const std::string hash = "$6$saltsalt$";  // any hash: the account is matched by name here
  std::ofstream(m_root / "etc/passwd", std::ios::app) << "praxis:x:4711:100:Praxis:/home/praxis:/bin/sh\n";
  std::ofstream(m_root / "etc/shadow", std::ios::app) << "praxis:" << hash << ":20000:0:99999:7:::\n";
  xtb::kiosk::Session session;
  session.program = "/opt/praxis/bin/Termine";
  ASSERT_TRUE(xtb::kiosk::WriteSession(m_request.root, "praxis", session));
  CString error;
  ASSERT_TRUE(xtb::kiosk::Remove(m_request.root, "praxis", &error)) << error.GetString();
  EXPECT_NE(Etc("passwd").find("\npraxis:x:4711:"), std::string::npos);
  // No earlier session: the kiosk choice is simply taken away.
  const std::string settings = Read(xtb::kiosk::UserSettingsPath(m_request.root, "praxis"));
  EXPECT_EQ(settings.find("Session="), std::string::npos) << settings;
}

TEST_F(KioskTest, RefusesBadNamesAndFailingAccountTools) {
  DWORD created = 7;
  CString error;
  for (const char* name : {"", "../etc", "-r", "a:b", "x\ny"}) {
    m_request.user = name;
    EXPECT_FALSE(xtb::kiosk::Install(m_request, &created, &error)) << name;
    EXPECT_EQ(created, 0u);
  }
  // useradd refuses a comment with its field separator: the step is named.
  m_request.user = "xtbkiosk2";
  m_request.comment = "a:b";
  EXPECT_FALSE(xtb::kiosk::Install(m_request, &created, &error));
  EXPECT_EQ(error.str().rfind("NetUserAdd: ", 0), 0u) << error.GetString();
  EXPECT_EQ(Etc("passwd").find("xtbkiosk2"), std::string::npos);
  EXPECT_FALSE(fs::exists(xtb::kiosk::SessionEntryPath(m_request.root, "xtbkiosk2")));
}

TEST_F(KioskTest, DomainWithoutReachableDirectoryFailsAtTheFirstStep) {
  m_request.domain = "praxis.invalid";
  DWORD created = 7;
  CString error;
  EXPECT_FALSE(xtb::kiosk::Install(m_request, &created, &error));
  EXPECT_EQ(error.str().rfind("ADsGetObject: \n", 0), 0u) << error.GetString();
  EXPECT_GT(error.GetLength(), 16);  // the tool's own message follows the label
  EXPECT_EQ(created, 0u);
  EXPECT_FALSE(fs::exists(xtb::kiosk::SessionEntryPath(m_request.root, "xtbkiosk1")));

  // Without the directory tools at all, the same step fails.
  const std::string path = getenv("PATH");
  setenv("PATH", m_root.c_str(), 1);
  EXPECT_FALSE(xtb::kiosk::Install(m_request, &created, &error));
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(error.str().rfind("ADsGetObject: \nadcli: not found", 0), 0u) << error.GetString();
}

TEST_F(KioskTest, ElevationRefusedWhenNeitherPkexecNorSudoIsThere) {
  // A child that gives up root and finds no elevation tool on its PATH.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
      _exit(10);
    setenv("PATH", "/nonexistent", 1);
    DWORD created = 7;
    CString error;
    if (xtb::kiosk::Install(m_request, &created, &error)) _exit(11);
    if (created != static_cast<DWORD>(-1)) _exit(12);
    if (error.str().rfind("Elevation:\n", 0) != 0 || error.str().find("pkexec") == std::string::npos) _exit(13);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Etc("passwd").find("xtbkiosk1"), std::string::npos);
}

TEST(KioskSession, ExecLineQuotesTheProgram) {
  const fs::path root = fs::temp_directory_path() / ("xtb-kiosk-exec-" + std::to_string(getpid()));
  xtb::kiosk::Session session;
  session.program = "/opt/Praxis 50%/\"Termine\"$x\\";
  ASSERT_TRUE(xtb::kiosk::WriteSession(root.string(), "u", session));
  const std::string entry = Read(xtb::kiosk::SessionEntryPath(root.string(), "u"));
  EXPECT_TRUE(HasLine(entry, "Exec=cage -- \"/opt/Praxis 50%%/\\\\\"Termine\\\\\"\\\\$x\\\\\\\\\"")) << entry;
  xtb::kiosk::Session back;
  ASSERT_TRUE(xtb::kiosk::ReadSession(root.string(), "u", back));
  EXPECT_EQ(back.program, session.program);
  session.program = "/bin/a\nExec=/bin/sh";
  EXPECT_FALSE(xtb::kiosk::WriteSession(root.string(), "u", session));
  EXPECT_TRUE(xtb::kiosk::ReadSession(root.string(), "u", back));
  EXPECT_EQ(back.program, "/opt/Praxis 50%/\"Termine\"$x\\");  // the old entry is intact
  fs::remove_all(root);
}

TEST_F(KioskTest, ToolInstallsAndRemoves) {
  const std::string root = m_root.string();
  // The terminal's UTF-8 reaches the account as UTF-8.
  ToolRun run = RunTool("kiosk install xtbkiosk3 --comment 'Praxisb\xC3\xBCro' --program /opt/praxis/bin/Labor --root '" +
                            root + "'",
                        "printf 'gr\xC3\xBCn\\n' |");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("account created"), std::string::npos) << run.output;
  EXPECT_NE(Etc("passwd").find(":Praxisb\xC3\xBCro:"), std::string::npos);
  EXPECT_TRUE(xtb::os::PasswordMatches(root, "xtbkiosk3", "gr\xC3\xBCn"));
  run = RunTool("kiosk remove xtbkiosk3 --root '" + root + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Etc("passwd").find("xtbkiosk3"), std::string::npos);
  EXPECT_EQ(RunTool("kiosk install xtbkiosk3 --root '" + root + "'").status, 2);
  EXPECT_EQ(RunTool("kiosk frobnicate x").status, 2);
  run = RunTool("os");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "0\n");
}

}  // namespace
