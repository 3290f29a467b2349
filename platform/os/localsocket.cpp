#include "localsocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "file.h"
#include "kept_endpoints.h"
#include "process.h"
#include "sharedfolder.h"

namespace xtb::os {

namespace {

// A live endpoint holds an exclusive lock on "<name>.lock" for as long as it
// is open; the kernel drops it when the holder dies. The endpoint's socket
// descriptor names its lock's descriptor here.
std::mutex g_locksMutex;
std::unordered_map<int, int> g_locks;

int SocketType(SocketKind kind) { return kind == SocketKind::Datagram ? SOCK_DGRAM : SOCK_SEQPACKET; }

// The process named as a number in /proc, once /proc/<number> has been
// seen to be /proc/self: then a connect saves the kernel resolving the
// "self" link each time. A /proc of another pid namespace, where the number
// names another process, is never used so. Set per process id, so that the
// child of a fork looks anew.
std::atomic<uint32_t> g_procNamesUs{0};

bool ProcNamesUs(uint32_t pid) {
  if (g_procNamesUs.load(std::memory_order_relaxed) == pid) return true;
  struct stat self {}, named {};
  const std::string path = "/proc/" + std::to_string(pid);
  if (stat("/proc/self", &self) != 0 || stat(path.c_str(), &named) != 0 || self.st_dev != named.st_dev ||
      self.st_ino != named.st_ino)
    return false;
  g_procNamesUs.store(pid, std::memory_order_relaxed);
  return true;
}

// The address of the socket held by the descriptor `entry` of this process:
// its name in /proc, which reaches the socket itself, never a link.
void AddressOfDescriptor(int entry, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  char* at = address.sun_path;
  char* const end = address.sun_path + sizeof address.sun_path - 1;
  const auto put = [&](std::string_view text) { at = std::copy(text.begin(), text.end(), at); };
  const uint32_t pid = CachedProcessId();
  put("/proc/");
  if (ProcNamesUs(pid)) {
    at = std::to_chars(at, end, pid).ptr;
  } else {
    put("self");
  }
  put("/fd/");
  std::to_chars(at, end, entry);
}

// Closes `fd` (when open) and fails with the errno it had.
int Fail(int fd) {
  const int error = errno;
  if (fd >= 0) close(fd);
  errno = error;
  return -1;
}

// connect(2) of `fd` (not blocking) to `address`. A listener whose queue
// is full is waited on for room up to `roomWaitMs`: only a connect that
// blocks waits for the listener to take a connection, and it waits as long
// as the socket's send time-out says. The socket does not block afterwards.
bool ConnectTo(int fd, const sockaddr_un& address, int roomWaitMs) {
  const auto* to = reinterpret_cast<const sockaddr*>(&address);
  if (connect(fd, to, sizeof address) == 0) return true;
  if (errno != EAGAIN || roomWaitMs <= 0) return false;
  const timeval timeout{roomWaitMs / 1000, (roomWaitMs % 1000) * 1000};
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0 ||
      fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    return false;
  int result;
  do result = connect(fd, to, sizeof address);
  while (result != 0 && errno == EINTR);
  const int error = errno;
  if (fcntl(fd, F_SETFL, flags) != 0) return false;
  errno = error;
  return result == 0;
}

// Connects to the socket held by the descriptor `entry` (O_PATH).
int ConnectThrough(int entry, SocketKind kind, int roomWaitMs) {
  sockaddr_un address;
  AddressOfDescriptor(entry, address);
  // A listener's full queue holds the caller only as long as it says, and
  // sends wait only as SendMessage is told.
  const int fd = socket(AF_UNIX, SocketType(kind) | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Fail(-1);
  if (!ConnectTo(fd, address, roomWaitMs)) {
    // A file without a holder is an endpoint that does not exist.
    if (errno == ECONNREFUSED) errno = ENOENT;
    return Fail(fd);
  }
  return fd;
}

using SteadyClock = std::chrono::steady_clock;

// Waits until `fd` is ready for `events`, up to the deadline of a wait of
// `waitMs` (kWaitWithoutEnd: no deadline), set at the first wait: a call
// that needs no wait reads no clock. True when it is ready or the
// wait was interrupted (the caller tries again); false with ETIMEDOUT once
// the deadline passed, or with poll's error.
bool AwaitReady(int fd, short events, std::optional<SteadyClock::time_point>& deadline, int waitMs) {
  if (!deadline) deadline = SteadyClock::now() + std::chrono::milliseconds(waitMs);
  int left = kWaitWithoutEnd;
  if (waitMs != kWaitWithoutEnd) {
    const auto rest = std::chrono::ceil<std::chrono::milliseconds>(*deadline - SteadyClock::now());
    left = static_cast<int>(std::max<std::chrono::milliseconds::rep>(rest.count(), 0));
  }
  pollfd ready{fd, events, 0};
  const int count = left == 0 ? 0 : poll(&ready, 1, left);
  if (count == 0) errno = ETIMEDOUT;
  return count > 0 || (count < 0 && errno == EINTR);
}

// Closes the reading side of a connection that its receiver gives up on.
// Closing it alone would leave a moment in which a late sender's message
// still goes in and then is thrown away with the connection, its sender
// told that it went: from here on a send fails (EPIPE), and what went in
// before can still be read. Only connections: a datagram endpoint closed
// for reading would take no more mail from anyone.
bool StopReading(int fd) {
  int type = 0;
  socklen_t size = sizeof type;
  return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_SEQPACKET && shutdown(fd, SHUT_RD) == 0;
}

// Connections to datagram endpoints, kept for the sends that follow: each
// was made by ConnectEndpoint, with its checks, for one folder path,
// account and endpoint, and reaches the receiver that held the endpoint
// then and nothing else. A sender talks to a few endpoints; one that talks
// to more starts the set afresh.
struct KeptConnection {
  std::string folderPath;
  uint32_t account = 0;
  std::string fileName;
  os::Fd socket;
};
constexpr size_t kKeptConnections = 16;
std::mutex g_connectionsMutex;
std::vector<std::shared_ptr<const KeptConnection>> g_connections;

// The kept connection to the datagram endpoint, unless `renew`; else one
// made now and kept in its place. Null with errno set when none can be made.
std::shared_ptr<const KeptConnection> KeptConnectionTo(std::string_view folderPath, const std::string& fileName,
                                                        bool renew) {
  const uint32_t account = EffectiveUserId();
  const auto same = [&](const std::shared_ptr<const KeptConnection>& kept) {
    return kept->account == account && kept->fileName == fileName && kept->folderPath == folderPath;
  };
  std::shared_ptr<const KeptConnection> replaced;
  {
    std::lock_guard guard(g_connectionsMutex);
    const auto found = std::find_if(g_connections.begin(), g_connections.end(), same);
    if (found != g_connections.end()) {
      if (!renew) return *found;
      replaced = std::move(*found);
      g_connections.erase(found);
    }
  }
  const int fd = ConnectEndpoint(folderPath, fileName, SocketKind::Datagram);
  if (fd < 0) return nullptr;
  auto made = std::make_shared<KeptConnection>();
  made->folderPath = folderPath;
  made->account = account;
  made->fileName = fileName;
  made->socket = os::Fd(fd);
  std::vector<std::shared_ptr<const KeptConnection>> dropped;
  std::lock_guard guard(g_connectionsMutex);
  // Another thread may have made one meanwhile: that one stays.
  const auto found = std::find_if(g_connections.begin(), g_connections.end(), same);
  if (found != g_connections.end()) return *found;
  if (g_connections.size() >= kKeptConnections) dropped.swap(g_connections);
  g_connections.push_back(made);
  return made;
}

// Frees the name of a socket whose holder is gone (the caller holds its
// lock) and binds a new one there, open to every user.
int BindSocket(const os::Folder& folder, const std::string& fileName, SocketKind kind, std::string& refusal) {
  const int stale = folder.RemoveStaleSocket(fileName);
  if (stale == EPERM || stale == EACCES) {
    // Another account's socket in the sticky folder: only it or root may
    // remove it. Say whose it is, so that somebody can.
    Refuse(stale, fileName, refusal);
    os::FileFacts facts;
    if (folder.FactsOfEntry(fileName, facts))
      refusal = fileName + ": left by an ended receiver of user id " + std::to_string(facts.owner) +
                ", which only that user or root can remove";
    return -1;
  }
  int error = stale;
  os::Fd fd;
  if (error == 0) fd = folder.BindSocket(fileName, SocketType(kind), 0666, error);
  if (!fd.IsOpen()) return Refuse(error, fileName, refusal), -1;
  // Each message comes with its sender's account; the connections of a
  // listener take the setting over, so no connection needs a call of its
  // own to learn whose it is.
  const int on = 1;
  if (setsockopt(fd.Get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0) return Fail(-1);
  if (kind == SocketKind::Sequenced && listen(fd.Get(), SOMAXCONN) != 0) return Fail(-1);
  return fd.Release();
}

}  // namespace

int CreateEndpoint(const os::Folder& folder, const std::string& fileName, SocketKind kind, std::string* refusal) {
  std::string reason;
  int fd = -1;
  os::Fd lock;
  if ((lock = OpenSharedFile(folder, fileName + ".lock", reason)).IsOpen()) {
    if (flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) errno = EEXIST;
    } else {
      fd = BindSocket(folder, fileName, kind, reason);
    }
  }
  if (fd < 0) {
    const int error = errno;
    if (refusal) *refusal = reason;
    errno = error;
    return -1;
  }
  std::lock_guard guard(g_locksMutex);
  g_locks[fd] = lock.Release();
  return fd;
}

bool CloseEndpoint(int fd) {
  int lock = -1;
  {
    std::lock_guard guard(g_locksMutex);
    if (auto found = g_locks.find(fd); found != g_locks.end()) {
      lock = found->second;
      g_locks.erase(found);
    }
  }
  // The socket's file stays: the next holder replaces it, and a sender that
  // finds it without a holder is refused as for a missing endpoint.
  if (lock >= 0) close(lock);
  return CloseConnection(fd);
}

bool CloseConnection(int fd) {
  if (fd < 0 || close(fd) != 0) {
    errno = EBADF;
    return false;
  }
  return true;
}

int ConnectEndpoint(std::string_view folderPath, const std::string& fileName, SocketKind kind, int roomWaitMs) {
  // connect(2) follows a link at the name it is given. So the socket is
  // opened as itself (O_PATH, no link followed) in the checked folder and
  // connected through its descriptor: a name planted in the folder, or a
  // folder planted in its place, never sends a mail into a socket of
  // somebody else's choosing.
  return ReachEndpoint(folderPath, fileName,
                       [kind, roomWaitMs](int entry) { return ConnectThrough(entry, kind, roomWaitMs); });
}

bool SendToDatagramEndpoint(std::string_view folderPath, const std::string& fileName, const char* data,
                            size_t length, int waitMs, bool& reached) {
  for (bool renew = false;; renew = true) {
    const std::shared_ptr<const KeptConnection> connection = KeptConnectionTo(folderPath, fileName, renew);
    reached = connection != nullptr;
    if (!reached) return false;
    if (SendMessage(connection->socket.Get(), data, length, waitMs)) return true;
    // The receiver it reached has gone (ENOTCONN: a send of another thread
    // found that first): one that took the name since gets the message.
    if (renew || (errno != ECONNREFUSED && errno != ENOTCONN)) return false;
  }
}

int AcceptConnection(int fd) {
  int connection;
  do connection = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  while (connection < 0 && errno == EINTR);
  return connection < 0 ? Fail(-1) : connection;
}

long ReceiveMessage(int fd, char* buffer, size_t capacity, uint32_t* account, int waitMs) {
  iovec part{buffer, capacity};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  // Tried at once: a sender has normally written before its connection is
  // taken, so only a slow one is polled for, until the deadline.
  const int flags = MSG_CMSG_CLOEXEC | (waitMs == kWaitWithoutEnd ? 0 : MSG_DONTWAIT);
  std::optional<SteadyClock::time_point> deadline;
  const auto receive = [&](int how) {
    ssize_t got;
    do {
      message.msg_control = account ? control : nullptr;
      message.msg_controllen = account ? sizeof control : 0;
      got = recvmsg(fd, &message, how);
    } while (got < 0 && errno == EINTR);
    return got;
  };
  ssize_t n;
  do n = receive(flags);
  while (n < 0 && errno == EAGAIN && waitMs != kWaitWithoutEnd && AwaitReady(fd, POLLIN, deadline, waitMs));
  if (n < 0 && errno == ETIMEDOUT && StopReading(fd)) {
    // A message that came before the reading side closed is still taken;
    // after it nothing more can come, and its end is the time-out.
    n = receive(MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
    if (n <= 0) {
      errno = ETIMEDOUT;
      n = -1;
    }
  }
  if (n < 0 || !account) return n;
  *account = kUnknownAccount;
  for (cmsghdr* item = CMSG_FIRSTHDR(&message); item; item = CMSG_NXTHDR(&message, item)) {
    if (item->cmsg_level == SOL_SOCKET && item->cmsg_type == SCM_CREDENTIALS) {
      ucred sender;
      std::memcpy(&sender, CMSG_DATA(item), sizeof sender);
      *account = sender.uid;
    }
  }
  ucred peer{};
  socklen_t size = sizeof peer;
  if (*account == kUnknownAccount && getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.pid > 0)
    *account = peer.uid;
  return n;
}

bool SendMessage(int fd, const char* data, size_t length, int waitMs) {
  // Tried at once: a receiver with room takes the message without a wait
  // set up first; only a full one is polled for, until the deadline.
  std::optional<SteadyClock::time_point> deadline;
  for (;;) {
    ssize_t n;
    do n = send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    if (n >= 0) {
      if (static_cast<size_t>(n) == length) return true;
      errno = EMSGSIZE;
      return false;
    }
    if (errno != EAGAIN) return false;
    if (waitMs == 0) {
      errno = EBUSY;  // the receiver takes nothing now
      return false;
    }
    if (!AwaitReady(fd, POLLOUT, deadline, waitMs)) return false;
  }
}

bool SetSendTimeout(int fd, int milliseconds) {
  const timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) == 0;
}

}  // namespace xtb::os
