#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#include <xtbasis/platform/session.h>
#include <xtbasis/workstation.h>

#include "os/computers.h"
#include "terminaldrives.h"

namespace {

// Sets environment variables for one test and puts the old values back.
class SessionEnvironment {
 public:
  SessionEnvironment() {
    for (const char* name : kNames) {
      const char* value = getenv(name);
      m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  ~SessionEnvironment() {
    for (const auto& [name, value] : m_saved) {
      if (value)
        setenv(name, value->c_str(), 1);
      else
        unsetenv(name);
    }
  }

 private:
  static constexpr const char* kNames[] = {"SSH_CONNECTION", "SSH_CLIENT", "XRDP_SESSION", "DISPLAY",
                                           "REMOTE_CLIENT_NAME", "HOME"};
  std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

TEST(TerminalDrives, BitOfTheClientLetter) {
  using xtb::app::DriveBitOfRemoteName;
  EXPECT_EQ(DriveBitOfRemoteName("\\\\tsclient\\c"), 1u << 2);
  EXPECT_EQ(DriveBitOfRemoteName("\\\\TsClient\\Z:"), 1u << 25);
  EXPECT_EQ(DriveBitOfRemoteName("\\\\TSCLIENT\\a_Daten"), 1u);
  EXPECT_EQ(DriveBitOfRemoteName("\\\\TSCLIENT\\"), 0u);
  EXPECT_EQ(DriveBitOfRemoteName("\\\\TSCLIENT\\1"), 0u);
  EXPECT_EQ(DriveBitOfRemoteName("\\\\SERVER\\c"), 0u);
  EXPECT_EQ(DriveBitOfRemoteName("\\TSCLIENT\\c"), 0u);
}

TEST(TerminalDrives, FoldersOfTheRedirectedDrives) {
  SessionEnvironment environment;
  const auto home = std::filesystem::temp_directory_path() / ("xtb-drives-" + std::to_string(getpid()));
  for (const char* folder : {"C", "D:", "E_Daten", "Dokumente"})
    std::filesystem::create_directories(home / "thinclient_drives" / folder);
  setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(GetTerminalDrives(), 0u) << "outside a remote session nothing is redirected";
  setenv("XRDP_SESSION", "1", 1);
  EXPECT_EQ(GetTerminalDrives(), (1u << 2) | (1u << 3) | (1u << 4));
  std::filesystem::remove_all(home);
  EXPECT_EQ(GetTerminalDrives(), 0u);
}

TEST(Session, LocalProgram) {
  SessionEnvironment environment;
  setenv("DISPLAY", ":0", 1);
  const std::string computer = xtb::os::ComputerName();
  ASSERT_FALSE(computer.empty());
  EXPECT_LE(computer.size(), 15u);
  EXPECT_EQ(computer.find('.'), std::string::npos);
  EXPECT_FALSE(xtb::IsRemoteSession());
  EXPECT_EQ(std::string(GetWorkstation()), computer);
  EXPECT_EQ(std::string(GetTerminalServer()), computer);
  CString name("unverändert");
  DWORD id = 77;
  EXPECT_FALSE(IsTerminalClient(&name, &name, &id));
  EXPECT_STREQ(name, "unverändert");
  EXPECT_EQ(id, 77u);
}

TEST(Session, SshLoginNamesTheClient) {
  SessionEnvironment environment;
  setenv("SSH_CONNECTION", "192.0.2.77 50122 192.0.2.2 22", 1);
  EXPECT_TRUE(xtb::IsRemoteSession());
  // A documentation address has no name: the client is known by its address.
  EXPECT_EQ(std::string(GetWorkstation()), "192.0.2.77");
  EXPECT_FALSE(IsTerminalServer()) << "a program in a remote session is no terminal server";
  EXPECT_TRUE(IsTerminalClient(nullptr, nullptr, nullptr));
  CString computer, client;
  DWORD id = 99;
  ASSERT_TRUE(IsTerminalClient(&computer, &client, &id));
  EXPECT_EQ(std::string(computer), xtb::os::ComputerName());
  EXPECT_STREQ(client, "192.0.2.77");
  EXPECT_NE(id, 99u);
  setenv("REMOTE_CLIENT_NAME", "empfang-3.praxis.local", 1);
  EXPECT_STREQ(GetWorkstation(), "EMPFANG-3");
}

TEST(Session, DisplayOnAnotherHost) {
  SessionEnvironment environment;
  for (const char* local : {":0", "unix:1", "localhost:10.0", "127.0.0.1:0"}) {
    setenv("DISPLAY", local, 1);
    EXPECT_FALSE(xtb::IsRemoteSession()) << local;
  }
  setenv("DISPLAY", "thinclient7.praxis:0", 1);
  EXPECT_TRUE(xtb::IsRemoteSession());
  EXPECT_EQ(xtb::RemoteClientName(), "THINCLIENT7");
}

}  // namespace
