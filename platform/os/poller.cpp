#include "poller.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "environment.h"

namespace xtb::os {

Poller::Poller() : m_fd(epoll_create1(EPOLL_CLOEXEC)) {}

Poller::~Poller() {
  if (m_fd >= 0) close(m_fd);
}

bool Poller::Add(int fd) {
  epoll_event event{};
  event.events = EPOLLIN | EPOLLRDHUP;
  event.data.fd = fd;
  return epoll_ctl(m_fd, EPOLL_CTL_ADD, fd, &event) == 0;
}

void Poller::Remove(int fd) { epoll_ctl(m_fd, EPOLL_CTL_DEL, fd, nullptr); }

std::vector<PollEvent> Poller::Wait(int timeoutMs) {
  epoll_event events[64];
  const int n = epoll_wait(m_fd, events, 64, timeoutMs);
  std::vector<PollEvent> ready;
  for (int i = 0; i < n; ++i)
    ready.push_back({events[i].data.fd});
  return ready;
}

Wakeup::Wakeup() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Wakeup::~Wakeup() {
  if (m_fd >= 0) close(m_fd);
}

bool Wakeup::Ring() {
  const uint64_t one = 1;
  return write(m_fd, &one, sizeof one) == static_cast<ssize_t>(sizeof one);
}

bool Wakeup::Take() {
  uint64_t rings = 0;
  return read(m_fd, &rings, sizeof rings) == static_cast<ssize_t>(sizeof rings) && rings > 0;
}

int SignalDescriptor(std::initializer_list<int> signals) {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : signals) sigaddset(&set, signal);
  if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
  return signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

int TakeSignal(int fd) {
  signalfd_siginfo info{};
  return read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info) ? static_cast<int>(info.ssi_signo) : 0;
}

std::vector<PassedSocket> PassedSockets() {
  std::vector<PassedSocket> sockets;
  const char* pid = EnvironmentValue("LISTEN_PID");
  const char* count = EnvironmentValue("LISTEN_FDS");
  if (!pid || !count || std::to_string(getpid()) != pid) return sockets;
  const int n = std::atoi(count);
  for (int fd = 3; fd < 3 + n; ++fd) {
    int type = 0;
    socklen_t size = sizeof type;
    if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) != 0) continue;
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockets.push_back({fd, type == SOCK_DGRAM});
  }
  RemoveEnvironmentValue("LISTEN_PID");
  RemoveEnvironmentValue("LISTEN_FDS");
  return sockets;
}

bool Daemonise() {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child > 0) _exit(0);
  setsid();
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    close(null);
  }
  return true;
}

}  // namespace xtb::os
