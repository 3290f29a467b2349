#include "session.h"

#include "environment.h"

namespace xtb::os {

bool IsRemoteSession() {
  return EnvironmentValue("SSH_CONNECTION") != nullptr || EnvironmentValue("XRDP_SESSION") != nullptr;
}

}  // namespace xtb::os
