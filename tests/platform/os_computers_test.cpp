// The computers the folder dialog offers: this one first, then the names of
// the hosts file that stand for other computers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "os/computers.h"

namespace {

TEST(OsComputers, HostsFileNamesOtherComputersOnce) {
  const std::string hosts = testing::TempDir() + "xtb-hosts-" + std::to_string(getpid());
  std::ofstream(hosts) << "127.0.0.1\tlocalhost\n"
                          "127.0.1.1\tthis-machine.localdomain this-machine\n"
                          "::1 localhost ip6-localhost ip6-loopback\n"
                          "ff02::1 ip6-allnodes\n"
                          "# 192.168.1.9 commented-out\n"
                          "192.168.1.20  EMPFANG  empfang.praxis.local # Anmeldung\n"
                          "192.168.1.21\tBEHANDLUNG1\n"
                          "  \n"
                          "192.168.1.22 EMPFANG\n"
                          "fd00::5 roentgen\n";
  const std::vector<std::string> computers = xtb::os::KnownComputers(hosts.c_str());
  std::remove(hosts.c_str());
  const std::string self = xtb::os::ComputerName();
  ASSERT_FALSE(self.empty());
  const std::vector<std::string> expected{self, "EMPFANG", "empfang.praxis.local", "BEHANDLUNG1", "roentgen"};
  EXPECT_EQ(computers, expected);
  EXPECT_EQ(xtb::os::KnownComputers("/nonexistent/hosts"), std::vector<std::string>{self});
}

// The name Windows gives a computer: the first label of the host name, cut
// to 15 characters and in upper case; an address is never cut.
TEST(OsComputers, ComputerNamesHaveTheNetbiosForm) {
  EXPECT_EQ(xtb::os::NetbiosForm("empfang-3.praxis.local"), "EMPFANG-3");
  EXPECT_EQ(xtb::os::NetbiosForm("behandlungsraum-12"), "BEHANDLUNGSRAUM");
  EXPECT_EQ(xtb::os::NetbiosForm("Roentgen"), "ROENTGEN");
  EXPECT_EQ(xtb::os::NetbiosForm("192.168.100.200"), "192.168.100.200");
  EXPECT_EQ(xtb::os::NetbiosForm("fd00:abcd:1234::5eed:1"), "FD00:ABCD:1234::5EED:1");
  EXPECT_EQ(xtb::os::NetbiosForm(""), "");
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  EXPECT_EQ(xtb::os::ComputerName(), xtb::os::NetbiosForm(host));
}

}  // namespace
