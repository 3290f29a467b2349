#include "computers.h"

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

std::string ThisComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::vector<std::string> KnownComputers(const char* hostsFile) {
  std::vector<std::string> names;
  const auto add = [&names](const std::string& name) {
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  add(ThisComputerName());
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
