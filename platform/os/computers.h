// The computers of the local network that this one knows by name: for the
// folder dialog's computer browsing.
#pragma once

#include <string>
#include <vector>

namespace xtb::os {

// This computer's network name (the host name); empty when it has none.
std::string ThisComputerName();

// This computer and the computers named in the hosts file (the practice's
// workstations are listed there where no name service announces them),
// without the names of this computer's loopback and multicast addresses,
// duplicates and name aliases ending in ".localdomain"; in the order of the
// file, this computer first.
std::vector<std::string> KnownComputers(const char* hostsFile = "/etc/hosts");

}  // namespace xtb::os
