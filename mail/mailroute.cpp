#include "mailroute.h"

#include <cstdlib>

#include <xtbasis/platform/cstring.h>

#include "os/computers.h"
#include "os/netsocket.h"
#include "os/environment.h"

namespace xtb::mail {

bool IsThisComputer(const std::string& computer) {
  const CString name(computer.c_str());
  if (computer == "." || name.CompareNoCase("localhost") == 0) return true;
  if (name.CompareNoCase(os::ComputerName().c_str()) == 0 || os::IsOwnHostName(computer)) return true;
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
