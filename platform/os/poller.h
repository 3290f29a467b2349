// Waiting for many descriptors at once (epoll) and for signals as events
// (signalfd), for the library's servers. Calls that fail return -1 or false
// with errno set.
#pragma once

#include <initializer_list>
#include <vector>

namespace xtb::os {

// A descriptor that can be read (or has reached its end or failed).
struct PollEvent {
  int fd;
};

class Poller {
 public:
  Poller();
  ~Poller();
  Poller(const Poller&) = delete;
  Poller& operator=(const Poller&) = delete;
  bool ok() const { return m_fd >= 0; }

  bool Add(int fd);
  void Remove(int fd);
  // Waits at most `timeoutMs` (-1: for good); the ready descriptors.
  std::vector<PollEvent> Wait(int timeoutMs);

 private:
  int m_fd;
};

// A descriptor that one thread makes readable to wake another that waits
// for it in a Poller (an eventfd): rings that come before the waiter takes
// them count as one.
class Wakeup {
 public:
  Wakeup();
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;
  bool ok() const { return m_fd >= 0; }
  int fd() const { return m_fd; }

  bool Ring();
  // Whether it was rung since the last Take; never waits.
  bool Take();

 private:
  int m_fd;
};

// Blocks `signals` for the process and returns a descriptor that becomes
// readable when one arrives; -1 on failure. Call before other threads start.
int SignalDescriptor(std::initializer_list<int> signals);
// The signal that arrived, 0 when none is waiting.
int TakeSignal(int fd);

// The socket descriptors a service manager passed (LISTEN_FDS for this
// process), each with whether it is a datagram socket.
struct PassedSocket {
  int fd;
  bool datagram;
};
std::vector<PassedSocket> PassedSockets();

// Detaches from the terminal into the background (fork, new session);
// false in the parent's place when that fails.
bool Daemonise();

}  // namespace xtb::os
