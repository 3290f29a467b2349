#include "computers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "file.h"

namespace xtb::os {
namespace {

// Addresses that name no other computer: loopback, unspecified, IPv6
// link-local multicast and the like.
bool IsLocalAddress(const std::string& address) {
  return address.rfind("127.", 0) == 0 || address == "::1" || address == "0.0.0.0" || address == "::" ||
         address.rfind("fe00:", 0) == 0 || address.rfind("ff0", 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string NetbiosForm(std::string_view host) {
  const std::string text(host);
  unsigned char binary[sizeof(in6_addr)];
  const bool address = inet_pton(AF_INET, text.c_str(), binary) == 1 || inet_pton(AF_INET6, text.c_str(), binary) == 1;
  if (!address) host = host.substr(0, host.find('.'));
  std::string name(host.substr(0, address ? host.size() : 15));
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

std::string ComputerName() {
  // Read once: Windows too gives the name the computer started with, and
  // every mail sent carries it.
  static const std::string cached = [] {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? NetbiosForm(name) : std::string();
  }();
  return cached;
}

std::vector<std::string> KnownComputers(const char* hostsFile) {
  std::vector<std::string> names;
  const auto add = [&names](const std::string& name) {
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  add(ComputerName());
  std::string content;
  if (!hostsFile || !ReadWholeFile(hostsFile, content)) return names;
  std::istringstream lines(content);
  for (std::string line; std::getline(lines, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string address;
    if (!(words >> address) || IsLocalAddress(address)) continue;
    for (std::string name; words >> name;)
      if (!EndsWith(name, ".localdomain") && name != "localhost") add(name);
  }
  return names;
}

}  // namespace xtb::os
