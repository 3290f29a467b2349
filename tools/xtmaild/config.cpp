#include "config.h"

#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace xtmaild {

namespace {

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

bool ParseNumber(const std::string& text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && value >= low && value <= high;
}

bool InRange(const unsigned char* address, const Network& network) {
  const int whole = network.prefix / 8, rest = network.prefix % 8;
  if (std::memcmp(address, network.bytes, static_cast<size_t>(whole)) != 0) return false;
  if (rest == 0) return true;
  const unsigned char mask = static_cast<unsigned char>(0xFF << (8 - rest));
  return (address[whole] & mask) == (network.bytes[whole] & mask);
}

}  // namespace

bool ParseNetwork(const std::string& text, Network& network) {
  const size_t slash = text.find('/');
  const std::string address = text.substr(0, slash);
  Network parsed;
  if (inet_pton(AF_INET, address.c_str(), parsed.bytes) == 1)
    parsed.family = AF_INET;
  else if (inet_pton(AF_INET6, address.c_str(), parsed.bytes) == 1)
    parsed.family = AF_INET6;
  else
    return false;
  const long bits = parsed.family == AF_INET ? 32 : 128;
  long prefix = bits;
  if (slash != std::string::npos && !ParseNumber(text.substr(slash + 1), 0, bits, prefix)) return false;
  parsed.prefix = static_cast<int>(prefix);
  network = parsed;
  return true;
}

bool IsAllowed(const std::vector<Network>& allow, const xtb::os::NetAddress& address) {
  unsigned char bytes[16]{};
  int family = address.family();
  if (family == AF_INET) {
    std::memcpy(bytes, &reinterpret_cast<const sockaddr_in*>(&address.storage)->sin_addr, 4);
  } else if (family == AF_INET6) {
    const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(&address.storage)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
      family = AF_INET;
      std::memcpy(bytes, v6.s6_addr + 12, 4);
    } else {
      std::memcpy(bytes, v6.s6_addr, 16);
    }
  } else {
    return false;
  }
  for (const Network& network : allow)
    if (network.family == family && InRange(bytes, network)) return true;
  return false;
}

bool ParseConfig(const std::string& text, Config& config, std::string& error) {
  Config parsed;
  bool allowGiven = false;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const size_t equals = line.find('=');
    const std::string where = "line " + std::to_string(number) + ": ";
    if (equals == std::string::npos) {
      error = where + "expected key = value";
      return false;
    }
    const std::string key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
    long number_ = 0;
    if (key == "listen") {
      unsigned char probe[16];
      if (inet_pton(AF_INET, value.c_str(), probe) != 1 && inet_pton(AF_INET6, value.c_str(), probe) != 1) {
        error = where + "listen needs an IPv4 or IPv6 address";
        return false;
      }
      parsed.listen = value;
    } else if (key == "port") {
      if (!ParseNumber(value, 1, 65535, number_)) {
        error = where + "port is 1 to 65535";
        return false;
      }
      parsed.port = static_cast<unsigned short>(number_);
    } else if (key == "allow") {
      allowGiven = true;
      std::istringstream words(value);
      for (std::string word; words >> word;) {
        Network network;
        if (!ParseNetwork(word, network)) {
          error = where + "not an address or network: " + word;
          return false;
        }
        parsed.allow.push_back(network);
      }
    } else if (key == "max_connections" || key == "max_per_client" || key == "timeout_ms" || key == "trace_level") {
      const bool level = key == "trace_level";
      if (!ParseNumber(value, level ? 0 : 1, level ? 3 : 1000000, number_)) {
        error = where + key + (level ? " is 0 to 3" : " is a positive number");
        return false;
      }
      int& field = key == "max_connections" ? parsed.maxConnections
                   : key == "max_per_client" ? parsed.maxPerClient
                   : key == "timeout_ms"     ? parsed.timeoutMs
                                             : parsed.traceLevel;
      field = static_cast<int>(number_);
    } else if (key == "log_dir") {
      parsed.logDir = value;
    } else {
      error = where + "unknown key " + key;
      return false;
    }
  }
  if (!allowGiven) {
    Network network;
    ParseNetwork("127.0.0.0/8", network);
    parsed.allow.push_back(network);
    ParseNetwork("::1", network);
    parsed.allow.push_back(network);
  }
  config = parsed;
  return true;
}

bool LoadConfig(const std::string& path, Config& config, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  return ParseConfig(text.str(), config, error);
}

}  // namespace xtmaild
