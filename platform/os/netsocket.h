// Network sockets (UDP and TCP over IPv4 and IPv6) for mail between
// computers: names looked up, connections with time-outs, whole reads and
// writes, and listeners for a router.
//
// Calls that fail return -1 or false with errno set: EHOSTUNREACH for a
// computer that cannot be found, ETIMEDOUT for a time-out, EPIPE for a
// stream that ended early, EMSGSIZE for a datagram that went in part.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstddef>
#include <string>

namespace xtb::os {

// A socket address of either family.
struct NetAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
  int family() const { return storage.ss_family; }
  // "192.0.2.1" or "2001:db8::1" (IPv4-mapped IPv6 addresses as IPv4).
  std::string Text() const;
};

// The first address of `host` (a name or a literal) with `port`.
bool Resolve(const std::string& host, unsigned short port, NetAddress& address);
// The first IPv4 address of `host`, dotted; empty when it has none.
std::string ResolveIPv4(const std::string& host);
// The name of the host with the literal address `address` (a reverse
// lookup), or the address itself when it has none.
std::string NameOfAddress(const std::string& address);
// True for a literal loopback address (127.0.0.0/8, ::1, ::ffff:127.x).
bool IsLoopbackLiteral(const std::string& host);
// True when `host` is a literal address of one of this machine's interfaces.
bool IsOwnAddressLiteral(const std::string& host);
// True when `host` names this machine by its host name (any case, with or
// without its domain).
bool IsOwnHostName(const std::string& host);

// A UDP socket connected to `to`.
int UdpConnect(const NetAddress& to);
// A TCP connection to `to`, made within `timeoutMs`; reads and writes on it
// give up after `timeoutMs` as well.
int TcpConnect(const NetAddress& to, int timeoutMs);

// Writes all of `data` (false on failure or time-out).
bool SendAll(int fd, const void* data, size_t length);
// Reads exactly `length` bytes (false on failure, time-out or end of stream).
bool ReceiveAll(int fd, void* data, size_t length);
// One datagram on a connected socket.
bool SendDatagram(int fd, const void* data, size_t length);

// Listeners of a router: non-blocking sockets bound to `at` (SO_REUSEADDR
// for TCP, so that a restarted router binds again at once; a large receive
// buffer for UDP).
int UdpListen(const NetAddress& at);
int TcpListen(const NetAddress& at, int backlog);
// The next pending connection (non-blocking) and its peer; -1 when none.
int TcpAccept(int listener, NetAddress& peer);
// One datagram and its sender; -1 when none is waiting.
long ReceiveFrom(int fd, void* buffer, size_t capacity, NetAddress& from);
// Non-blocking reads and writes of a router: the count moved, 0 at the end
// of the stream, -1 on failure, -2 when nothing can move now.
long ReadSome(int fd, void* buffer, size_t capacity);
long WriteSome(int fd, const void* data, size_t length);

void CloseSocket(int fd);

}  // namespace xtb::os
