// The installation's WebSocket settings below
// HKEY_LOCAL_MACHINE\SOFTWARE\Vantorix\XTBasis\WebSocket (see websocket.h).
#pragma once

#include <chrono>

namespace xtb::ws {

struct Settings {
  bool verifyServerCertificate = false;
  std::chrono::milliseconds openTimeout{60000};
};

// Read at every Open, so a changed setting holds for the next connection.
Settings ReadSettings();

}  // namespace xtb::ws
