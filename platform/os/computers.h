// This computer's name and the computers of the local network that this
// one knows by name: for the session, the mail, the crash report and the
// folder dialog's computer browsing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xtb::os {

// A host name the way Windows shows computer names: the name up to its
// first dot, at most 15 characters, upper case. Addresses stay whole.
std::string NetbiosForm(std::string_view host);

// This computer's name as Windows gives it: the NetbiosForm of the host
// name, read once per process. Empty when it cannot be read.
std::string ComputerName();

// This computer and the computers named in the hosts file (the practice's
// workstations are listed there where no name service announces them),
// without the names of this computer's loopback and multicast addresses,
// duplicates and name aliases ending in ".localdomain"; in the order of the
// file, this computer first.
std::vector<std::string> KnownComputers(const char* hostsFile = "/etc/hosts");

}  // namespace xtb::os
