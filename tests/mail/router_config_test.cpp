// The router's configuration file and allow-list.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>

#include "config.h"

namespace {

xtb::os::NetAddress AddressOf(const char* text) {
  xtb::os::NetAddress address;
  EXPECT_TRUE(xtb::os::Resolve(text, 1, address)) << text;
  return address;
}

TEST(RouterConfig, DefaultsLetInOnlyThisComputer) {
  xtmaild::Config config;
  std::string error;
  ASSERT_TRUE(xtmaild::ParseConfig("# nothing set\n\n", config, error)) << error;
  EXPECT_EQ(config.port, 5331);
  EXPECT_TRUE(xtmaild::IsAllowed(config.allow, AddressOf("127.0.0.1")));
  EXPECT_TRUE(xtmaild::IsAllowed(config.allow, AddressOf("::1")));
  EXPECT_FALSE(xtmaild::IsAllowed(config.allow, AddressOf("192.0.2.1")));
}

TEST(RouterConfig, KeysAndTheirMistakes) {
  xtmaild::Config config;
  std::string error;
  ASSERT_TRUE(xtmaild::ParseConfig("listen = ::\n port=6000 # comment\nallow = 10.0.0.0/8 fd00::/8\n"
                                   "allow = 192.0.2.7\nmax_connections = 5\nmax_per_client=2\ntimeout_ms = 250\n"
                                   "log_dir = /var/log/x\ntrace_level = 3\n",
                                   config, error))
      << error;
  EXPECT_EQ(config.listen, "::");
  EXPECT_EQ(config.port, 6000);
  EXPECT_EQ(config.allow.size(), 3u);
  EXPECT_EQ(config.maxConnections, 5);
  EXPECT_EQ(config.maxPerClient, 2);
  EXPECT_EQ(config.timeoutMs, 250);
  EXPECT_EQ(config.logDir, "/var/log/x");
  EXPECT_EQ(config.traceLevel, 3);
  EXPECT_FALSE(xtmaild::IsAllowed(config.allow, AddressOf("127.0.0.1"))) << "an allow line replaces the default";

  const std::pair<const char*, const char*> bad[] = {
      {"port = 0", "line 1: port"},        {"port = 70000", "port"},          {"\nlisten = name", "line 2: listen"},
      {"allow = 10.0.0.0/33", "10.0.0.0/33"}, {"allow = fd00::/129", "fd00"},  {"timeout_ms = -1", "timeout_ms"},
      {"trace_level = 4", "trace_level"},  {"colour = blue", "unknown key"}, {"just words", "key = value"}};
  for (const auto& [text, expected] : bad) {
    xtmaild::Config untouched;
    untouched.port = 1234;
    EXPECT_FALSE(xtmaild::ParseConfig(text, untouched, error)) << text;
    EXPECT_NE(error.find(expected), std::string::npos) << text << ": " << error;
    EXPECT_EQ(untouched.port, 1234) << "a bad file leaves the configuration as it was";
  }
}

TEST(RouterConfig, AllowListRanges) {
  std::vector<xtmaild::Network> allow(3);
  ASSERT_TRUE(xtmaild::ParseNetwork("192.168.10.0/23", allow[0]));
  ASSERT_TRUE(xtmaild::ParseNetwork("2001:db8:1::/48", allow[1]));
  ASSERT_TRUE(xtmaild::ParseNetwork("198.51.100.9", allow[2]));
  EXPECT_TRUE(xtmaild::IsAllowed(allow, AddressOf("192.168.10.1")));
  EXPECT_TRUE(xtmaild::IsAllowed(allow, AddressOf("192.168.11.255")));
  EXPECT_FALSE(xtmaild::IsAllowed(allow, AddressOf("192.168.12.0")));
  EXPECT_FALSE(xtmaild::IsAllowed(allow, AddressOf("192.168.9.255")));
  EXPECT_TRUE(xtmaild::IsAllowed(allow, AddressOf("2001:db8:1:ffff::1")));
  EXPECT_FALSE(xtmaild::IsAllowed(allow, AddressOf("2001:db8:2::1")));
  EXPECT_TRUE(xtmaild::IsAllowed(allow, AddressOf("198.51.100.9")));
  EXPECT_FALSE(xtmaild::IsAllowed(allow, AddressOf("198.51.100.8")));
  // An IPv4 sender on an IPv6 socket arrives mapped and counts as IPv4.
  EXPECT_TRUE(xtmaild::IsAllowed(allow, AddressOf("::ffff:192.168.10.5")));
  xtmaild::Network everything;
  ASSERT_TRUE(xtmaild::ParseNetwork("0.0.0.0/0", everything));
  EXPECT_TRUE(xtmaild::IsAllowed({everything}, AddressOf("203.0.113.1")));
  EXPECT_FALSE(xtmaild::IsAllowed({everything}, AddressOf("::1")));
}

}  // namespace
