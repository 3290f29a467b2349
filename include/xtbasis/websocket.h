// The WebSocket client: one TLS connection to port 443 of a server, upgraded
// on the path "/", that sends UTF-8 text messages and receives one message
// (or a piece of at most 1000 bytes of one) at a time, directly or on a
// receive thread that the caller waits for with a time-out.
//
// Results are Windows error numbers, 0 for success:
//   1      ERROR_INVALID_FUNCTION    never on Linux (the client is always there)
//   6      ERROR_INVALID_HANDLE      WaitReceive without a receive thread
//   87     ERROR_INVALID_PARAMETER   a user agent with control characters
//   1460   ERROR_TIMEOUT             WaitReceive's time ran out
//   4317   ERROR_INVALID_OPERATION   no WebSocket is open, or it has ended: the server
//                                    closed it, or a Send or Receive failed
//   12002  ERROR_WINHTTP_TIMEOUT             Open's time ran out, or a Send stalled
//   12005  ERROR_WINHTTP_INVALID_URL         the server text is no host name
//   12007  ERROR_WINHTTP_NAME_NOT_RESOLVED   the host name is unknown
//   12017  ERROR_WINHTTP_OPERATION_CANCELLED the connection was closed under the call
//   12029  ERROR_WINHTTP_CANNOT_CONNECT      refused, unreachable (ECONNREFUSED, ENETUNREACH,
//                                            EHOSTUNREACH, EADDRNOTAVAIL)
//   12030  ERROR_WINHTTP_CONNECTION_ERROR    reset or ended without a closing frame (ECONNRESET,
//                                            ECONNABORTED, EPIPE, ENOTCONN, end of stream,
//                                            TLS stream cut short)
//   12037  ERROR_WINHTTP_SECURE_CERT_DATE_INVALID  } only when the server certificate
//   12038  ERROR_WINHTTP_SECURE_CERT_CN_INVALID    } is verified (below): expired or not yet
//   12045  ERROR_WINHTTP_SECURE_INVALID_CA         } valid, wrong name, unknown issuer,
//   12179  ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE   } not for server authentication
//   12152  ERROR_WINHTTP_INVALID_SERVER_RESPONSE   no upgrade to a WebSocket (any answer but
//                                                   101 with the right accept key), or frames
//                                                   that break the protocol
//   12169  ERROR_WINHTTP_SECURE_INVALID_CERT  a certificate that fails a check no flag relaxes
//                                             (bad signature, malformed, revoked ...)
//   12175  ERROR_WINHTTP_SECURE_FAILURE       the TLS handshake failed (no TLS, no common
//                                             protocol or cipher ...)
//   other errno values as the last-error numbers of lasterror.h.
//
// Certificates. By default the server certificate is accepted although its
// issuer is unknown, it is not meant for server authentication, its name is
// not the host's or its dates do not hold now, and for nothing else: a bad
// signature, a malformed certificate or a failed TLS handshake refuse the
// connection. Installations that want the certificate checked set
//   HKEY_LOCAL_MACHINE\SOFTWARE\Vantorix\XTBasis\WebSocket
//     VerifyServerCertificate  REG_DWORD 1
// Open then accepts only certificates that chain to a root of the library's
// "Root" certificate store (/var/lib/xtbasis/certs/Root, or
// $XTBASIS_CRYPTO_DIR/machine/certs/Root when that is set; PEM or DER files)
// or of the system's trust store, are valid now, and name the host
// (an IP address must be among the certificate's IP addresses). The same key
// holds OpenTimeout (REG_DWORD, milliseconds, default 60000): the longest
// Open may take from the name lookup to the upgrade.
//
// Threads. One caller thread plus at most one receive thread use an object;
// Send may run while the receive thread waits. The receive thread is never
// killed: StopWaitReceive and Close release it and join it, and the read it
// was waiting for stays with the connection, so no message is lost; Close
// then ends the connection with status 1000 (waiting at most 2 s for the
// server's answer) and shuts the socket.
//
// Copies share the connection, the receive thread and the received text.
// Close through any copy closes it for all; the destructor of the last copy
// closes it. Nothing is closed twice.
//
// Every Send and Receive on an open WebSocket writes a trace record (program
// id -999, source "XTWebSocket"): level 1 when the result is 0, level 3 when
// it is not.
#pragma once

#include <memory>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

#define ERROR_WINHTTP_TIMEOUT 12002L
#define ERROR_WINHTTP_INVALID_URL 12005L
#define ERROR_WINHTTP_NAME_NOT_RESOLVED 12007L
#define ERROR_WINHTTP_OPERATION_CANCELLED 12017L
#define ERROR_WINHTTP_CANNOT_CONNECT 12029L
#define ERROR_WINHTTP_CONNECTION_ERROR 12030L
#define ERROR_WINHTTP_SECURE_CERT_DATE_INVALID 12037L
#define ERROR_WINHTTP_SECURE_CERT_CN_INVALID 12038L
#define ERROR_WINHTTP_SECURE_INVALID_CA 12045L
#define ERROR_WINHTTP_INVALID_SERVER_RESPONSE 12152L
#define ERROR_WINHTTP_SECURE_INVALID_CERT 12169L
#define ERROR_WINHTTP_SECURE_CERT_REVOKED 12170L
#define ERROR_WINHTTP_SECURE_FAILURE 12175L
#define ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE 12179L

class XTBASIS_API CXTWebSocket {
 public:
  CXTWebSocket();
  CXTWebSocket(const CXTWebSocket& other);
  CXTWebSocket& operator=(const CXTWebSocket& other);
  virtual ~CXTWebSocket();

  // Connects to `server` (a host name or IP address, nothing else) on port
  // 443 over TLS and upgrades "/" to a WebSocket, sending `agent` as the
  // user agent. An open WebSocket of this object is closed first. 0 or the
  // error; a failed Open leaves the object closed.
  unsigned long Open(const CString& agent, const CString& server);
  // Ends the receive thread, closes the WebSocket with status 1000 and the
  // connection. May be repeated; 0 when nothing failed.
  unsigned long Close();
  // Sends the bytes of `text` as one text message.
  unsigned long Send(const CString& text);
  // Waits for the next at most 1000 bytes of a message. On success `text`
  // holds them (empty for an empty message, and once when the server has
  // closed the WebSocket); on failure it is empty. 4317 leaves it unchanged.
  unsigned long Receive(CString& text);

  // Starts a thread that receives into the object; false when one is
  // already there or the thread cannot be created.
  bool StartWaitReceive();
  // Waits up to `timeoutMs` (INFINITE waits without end) for the receive
  // thread. 1460 when it still waits (it goes on; ask again); 6 without a
  // thread; else Receive's result, with the text when that is 0, and the
  // thread is gone.
  unsigned long WaitReceive(unsigned long timeoutMs, CString& text);
  // Releases and joins the receive thread; the WebSocket stays open and the
  // next Receive gets what that thread waited for. Always true.
  bool StopWaitReceive();

  struct State;

 private:
  std::shared_ptr<State> m_state;
};
