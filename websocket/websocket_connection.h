// One TLS WebSocket connection. Calls come from the owner's thread and its
// receive thread; a Send may go out while a Receive waits (at most one of
// each at a time, as Beast allows one read and one write). There is no I/O
// thread: the calling thread runs the connection's handlers itself until its
// operation has ended, so a lone caller's Send and Receive cost no hand-over
// between threads. When both threads wait, one of them runs the handlers for
// both (never two at once, so the handlers need no strand) and the other
// sleeps until its operation ends or the runner leaves, then takes over.
// CXTWebSocket itself (websocket.cpp) keeps the results, the traces, the
// receive thread and the state its copies share.
//
// Threads are never killed. A waiting Receive is let go through its flag and
// ReleaseReceiver; its read stays pending with the connection, and the next
// Receive takes its result. Close ends a pending read through the closing
// handshake or by shutting the socket. Open, Send and the closing handshake
// have time limits (below) that shut the socket when they pass; a Receive
// waits as long as it takes.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb::ws {

struct OpenOptions {
  std::string host;   // name or address, nothing else
  std::string agent;  // the User-Agent header
  bool verify = false;
  std::chrono::milliseconds timeout{60000};  // name lookup to upgrade
};

class Connection {
 public:
  static constexpr size_t kReceiveMax = 1000;
  static constexpr std::chrono::milliseconds kSendTimeout{30000};
  static constexpr std::chrono::milliseconds kCloseTimeout{2000};

  // The open connection, or null with `error` set.
  static std::unique_ptr<Connection> Open(const OpenOptions& options, DWORD& error);
  ~Connection();  // shuts the socket and lets every pending operation end
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Sends from several threads go out one after the other, each whole.
  DWORD Send(std::string_view text);
  // The next at most kReceiveMax bytes of a message into `text` (empty on a
  // failure). The server's closing frame gives one empty success; after it,
  // after a failed Send or Receive and once Close has begun, Send and Receive
  // give ERROR_INVALID_OPERATION. ERROR_OPERATION_ABORTED, with `text` as it
  // was, when `release` is set and ReleaseReceiver called; the read stays
  // pending for the next Receive.
  DWORD Receive(CString& text, const std::atomic<bool>& release);
  void ReleaseReceiver();
  // The closing handshake with status 1000, then the socket is shut; 0 also
  // when the connection had ended before.
  DWORD Close();

  struct Impl;

 private:
  explicit Connection(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace xtb::ws
