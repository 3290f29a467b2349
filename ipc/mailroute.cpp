#include "mailroute.h"

#include <strings.h>

#include <cstdlib>

#include <xtbasis/platform/session.h>

#include "os/netsocket.h"
#include "os/environment.h"

namespace xtb::mail {

bool IsThisComputer(const std::string& computer) {
  if (computer == "." || strcasecmp(computer.c_str(), "localhost") == 0) return true;
  if (strcasecmp(computer.c_str(), ComputerName().c_str()) == 0 || os::IsOwnHostName(computer)) return true;
  return os::IsLoopbackLiteral(computer) || os::IsOwnAddressLiteral(computer);
}

unsigned short RouterPort() {
  const char* text = os::EnvironmentValue("XTBASIS_MAIL_PORT");
  if (!text || !*text) return kDefaultRouterPort;
  char* end = nullptr;
  const long port = std::strtol(text, &end, 10);
  return *end == '\0' && port > 0 && port < 65536 ? static_cast<unsigned short>(port) : kDefaultRouterPort;
}

}  // namespace xtb::mail
