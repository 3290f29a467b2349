// Where a mail to a computer goes: this machine's endpoint, or the mail
// router of another computer.
#pragma once

#include <string>

namespace xtb::mail {

// True for ".", this computer's name or host name, "localhost", a loopback
// address and the addresses of this machine's interfaces.
bool IsThisComputer(const std::string& computer);

// The router's port: $XTBASIS_MAIL_PORT, else 5331.
unsigned short RouterPort();
constexpr unsigned short kDefaultRouterPort = 5331;

}  // namespace xtb::mail
