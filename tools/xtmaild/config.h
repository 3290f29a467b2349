// The router's configuration file: "key = value" lines, '#' starts a comment.
//
//   listen          = 0.0.0.0           address to bind (IPv4 or IPv6)
//   port            = 5331              UDP (mailslot mode) and TCP (pipe mode)
//   allow           = 192.168.1.0/24 ::1   senders let in; repeatable; default loopback only
//   max_connections = 64                TCP connections at once
//   max_per_client  = 8                 TCP connections at once from one address
//   timeout_ms      = 5000              for each step of a TCP connection
//   log_dir         = /var/log/xtbasis  folder of the trace file r9trace.log
//   trace_level     = 2                 0 failures ... 3 every mail; refusals are level 2
#pragma once

#include <netinet/in.h>

#include <string>
#include <vector>

#include "os/netsocket.h"

namespace xtmaild {

// An address range of the allow-list.
struct Network {
  int family = AF_INET;
  unsigned char bytes[16]{};
  int prefix = 0;
};

struct Config {
  std::string listen = "0.0.0.0";
  unsigned short port = 5331;
  std::vector<Network> allow;
  int maxConnections = 64;
  int maxPerClient = 8;
  int timeoutMs = 5000;
  std::string logDir = "/var/log/xtbasis";
  int traceLevel = 2;
};

// Parses the file's text; false with the line and what is wrong in `error`.
bool ParseConfig(const std::string& text, Config& config, std::string& error);
// Reads and parses the file.
bool LoadConfig(const std::string& path, Config& config, std::string& error);

// "10.0.0.0/8", "192.0.2.7" (a single address), "::1", "fd00::/8".
bool ParseNetwork(const std::string& text, Network& network);
// True when the address lies in one of the ranges (IPv4-mapped IPv6
// addresses count as IPv4).
bool IsAllowed(const std::vector<Network>& allow, const xtb::os::NetAddress& address);

}  // namespace xtmaild
