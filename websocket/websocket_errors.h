// Windows numbers for what the network, TLS and WebSocket layers report
// (the table is in websocket.h).
#pragma once

#include <boost/system/error_code.hpp>

#include <xtbasis/platform/wintypes.h>

namespace xtb::ws {

// The number for a failure of name lookup, socket, TLS or WebSocket; 0 for
// no failure.
DWORD WinErrorFromTransport(const boost::system::error_code& error);
// The number for a certificate refused by its X509_V_ERR_* verify result.
DWORD WinErrorFromCertificate(long verifyResult);

}  // namespace xtb::ws
