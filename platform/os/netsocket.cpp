#include "netsocket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <vector>
#include <cstring>
#include <strings.h>

namespace xtb::os {

namespace {

// Closes `fd` (when open) and fails with `error`.
int Fail(int fd, int error = errno) {
  if (fd >= 0) close(fd);
  errno = error;
  return -1;
}

// A socket's time-out shows as EAGAIN; it is one.
int TimedOut(int error) { return error == EAGAIN ? ETIMEDOUT : error; }

void SetTimeouts(int fd, int timeoutMs) {
  const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

}  // namespace

std::string NetAddress::Text() const {
  char text[INET6_ADDRSTRLEN] = "";
  if (family() == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr, text, sizeof text);
  } else if (family() == AF_INET6) {
    const in6_addr& address = reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&address))
      inet_ntop(AF_INET, address.s6_addr + 12, text, sizeof text);
    else
      inet_ntop(AF_INET6, &address, text, sizeof text);
  }
  return text;
}

bool Resolve(const std::string& host, unsigned short port, NetAddress& address) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
    errno = EHOSTUNREACH;
    return false;
  }
  std::memcpy(&address.storage, found->ai_addr, found->ai_addrlen);
  address.length = found->ai_addrlen;
  freeaddrinfo(found);
  return true;
}

std::string ResolveIPv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return {};
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
  freeaddrinfo(found);
  return text;
}

std::string NameOfAddress(const std::string& address) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(address.c_str(), nullptr, &hints, &found) != 0) return address;
  char host[NI_MAXHOST];
  const bool named = getnameinfo(found->ai_addr, found->ai_addrlen, host, sizeof host, nullptr, 0, NI_NAMEREQD) == 0;
  freeaddrinfo(found);
  return named ? host : address;
}

bool IsLoopbackLiteral(const std::string& host) {
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  if (inet_pton(AF_INET6, host.c_str(), &v6) != 1) return false;
  return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
}

namespace {

// The addresses of this machine's interfaces, looked up at most once a
// second (a sender asks for every mail).
std::vector<std::string> OwnAddresses() {
  static std::mutex mutex;
  static std::vector<std::string> addresses;
  static std::chrono::steady_clock::time_point taken;
  std::lock_guard guard(mutex);
  const auto now = std::chrono::steady_clock::now();
  if (!addresses.empty() && now - taken < std::chrono::seconds(1)) return addresses;
  addresses.clear();
  taken = now;
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) != 0) return addresses;
  for (const ifaddrs* at = interfaces; at; at = at->ifa_next) {
    if (!at->ifa_addr || (at->ifa_addr->sa_family != AF_INET && at->ifa_addr->sa_family != AF_INET6)) continue;
    NetAddress local;
    local.length = at->ifa_addr->sa_family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
    std::memcpy(&local.storage, at->ifa_addr, local.length);
    addresses.push_back(local.Text());
  }
  freeifaddrs(interfaces);
  return addresses;
}

}  // namespace

bool IsOwnAddressLiteral(const std::string& host) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  NetAddress wanted;
  std::memcpy(&wanted.storage, found->ai_addr, found->ai_addrlen);
  wanted.length = found->ai_addrlen;
  freeaddrinfo(found);
  const std::vector<std::string> own = OwnAddresses();
  return std::find(own.begin(), own.end(), wanted.Text()) != own.end();
}

bool IsOwnHostName(const std::string& host) {
  utsname system{};
  if (host.empty() || uname(&system) != 0) return false;
  const std::string own = system.nodename;
  if (strcasecmp(host.c_str(), own.c_str()) == 0) return true;
  // Either side may carry the domain.
  const std::string ownShort = own.substr(0, own.find('.'));
  const std::string hostShort = host.substr(0, host.find('.'));
  return (host.find('.') == std::string::npos || own.find('.') == std::string::npos) &&
         strcasecmp(hostShort.c_str(), ownShort.c_str()) == 0;
}

int UdpConnect(const NetAddress& to) {
  const int fd = socket(to.family(), SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Fail(-1);
  if (connect(fd, to.get(), to.length) != 0) return Fail(fd);
  return fd;
}

int TcpConnect(const NetAddress& to, int timeoutMs) {
  // A blocking connect gives up after the send time-out (EINPROGRESS), so
  // the socket needs no switching to and from non-blocking: a sender makes
  // one connection per mail.
  const int fd = socket(to.family(), SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Fail(-1);
  SetTimeouts(fd, timeoutMs);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (connect(fd, to.get(), to.length) == 0) return fd;
  if (errno == EINPROGRESS) return Fail(fd, ETIMEDOUT);
  if (errno != EINTR) return Fail(fd, TimedOut(errno));
  // Interrupted: the connection goes on being made; wait for its outcome.
  pollfd wait{fd, POLLOUT, 0};
  int ready;
  do ready = poll(&wait, 1, timeoutMs);
  while (ready < 0 && errno == EINTR);
  if (ready == 0) return Fail(fd, ETIMEDOUT);
  int error = 0;
  socklen_t size = sizeof error;
  getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
  if (ready < 0 || error != 0) return Fail(fd, TimedOut(ready < 0 ? errno : error));
  return fd;
}

bool SendAll(int fd, const void* data, size_t length) {
  const char* at = static_cast<const char*>(data);
  while (length > 0) {
    const ssize_t n = send(fd, at, length, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(-1, n < 0 ? TimedOut(errno) : ECONNRESET) == 0;
    at += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool ReceiveAll(int fd, void* data, size_t length) {
  char* at = static_cast<char*>(data);
  while (length > 0) {
    const ssize_t n = recv(fd, at, length, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(-1, n == 0 ? EPIPE : TimedOut(errno)) == 0;
    at += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool SendDatagram(int fd, const void* data, size_t length) {
  ssize_t n;
  do n = send(fd, data, length, MSG_NOSIGNAL);
  while (n < 0 && errno == EINTR);
  if (n < 0) return Fail(-1, TimedOut(errno)) == 0;
  return static_cast<size_t>(n) == length || Fail(-1, EMSGSIZE) == 0;
}

int UdpListen(const NetAddress& at) {
  const int fd = socket(at.family(), SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Fail(-1);
  if (bind(fd, at.get(), at.length) != 0) return Fail(fd);
  // Room for bursts of many senders; past the system's limit where allowed.
  const int bytes = 8 << 20;
  if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
  return fd;
}

int TcpListen(const NetAddress& at, int backlog) {
  const int fd = socket(at.family(), SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Fail(-1);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (bind(fd, at.get(), at.length) != 0 || listen(fd, backlog) != 0) return Fail(fd);
  return fd;
}

int TcpAccept(int listener, NetAddress& peer) {
  peer.length = sizeof peer.storage;
  const int fd = accept4(listener, reinterpret_cast<sockaddr*>(&peer.storage), &peer.length,
                         SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return Fail(-1);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

long ReceiveFrom(int fd, void* buffer, size_t capacity, NetAddress& from) {
  from.length = sizeof from.storage;
  const ssize_t n = recvfrom(fd, buffer, capacity, MSG_TRUNC, reinterpret_cast<sockaddr*>(&from.storage), &from.length);
  if (n < 0) return Fail(-1);
  return n;
}

long ReadSome(int fd, void* buffer, size_t capacity) {
  const ssize_t n = recv(fd, buffer, capacity, 0);
  if (n >= 0) return n;
  if (errno == EAGAIN || errno == EINTR) return -2;
  return Fail(-1);
}

long WriteSome(int fd, const void* data, size_t length) {
  const ssize_t n = send(fd, data, length, MSG_NOSIGNAL);
  if (n >= 0) return n;
  if (errno == EAGAIN || errno == EINTR) return -2;
  return Fail(-1);
}

void CloseSocket(int fd) {
  if (fd >= 0) close(fd);
}

}  // namespace xtb::os
