#include "mailhandles.h"

#include "os/localsocket.h"
#include "os/netsocket.h"
#include "mailtrace.h"

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <xtbasis/platform/lasterror.h>

namespace xtb::mail {

namespace {

struct Entry {
  uint32_t generation;
  Channel channel;
};

std::mutex g_mutex;
std::unordered_map<int, Entry> g_open;
uint32_t g_generation = 0;

// Handle bits: generation (high 32) and descriptor (low 32); never all ones.
uintptr_t Pack(int fd, uint32_t generation) {
  return (static_cast<uintptr_t>(generation) << 32) | static_cast<uint32_t>(fd);
}

}  // namespace

HANDLE RegisterHandle(int fd, Channel channel) {
  std::lock_guard guard(g_mutex);
  g_generation = g_generation % 0x7FFFFFFF + 1;
  g_open[fd] = {g_generation, channel};
  return reinterpret_cast<HANDLE>(Pack(fd, g_generation));
}

int DescriptorOf(HANDLE handle, Channel* channel) {
  const auto bits = reinterpret_cast<uintptr_t>(handle);
  const int fd = static_cast<int>(static_cast<uint32_t>(bits));
  std::lock_guard guard(g_mutex);
  const auto found = g_open.find(fd);
  if (found == g_open.end() || Pack(fd, found->second.generation) != bits) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  if (channel) *channel = found->second.channel;
  return fd;
}

bool CloseHandleOf(HANDLE handle) {
  const auto bits = reinterpret_cast<uintptr_t>(handle);
  const int fd = static_cast<int>(static_cast<uint32_t>(bits));
  Channel channel;
  {
    std::lock_guard guard(g_mutex);
    const auto found = g_open.find(fd);
    if (found == g_open.end() || Pack(fd, found->second.generation) != bits) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    channel = found->second.channel;
    g_open.erase(found);
  }
  if (channel == Channel::NetworkDatagram || channel == Channel::NetworkStream) {
    os::CloseSocket(fd);
    return true;
  }
  return os::CloseEndpoint(fd) || FailedOn(channel);
}

bool FailedOn(Channel channel) {
  const bool network = channel == Channel::NetworkDatagram || channel == Channel::NetworkStream;
  switch (const int error = errno) {
    case EAGAIN:
      SetLastError(network ? ERROR_TIMEOUT : ERROR_PIPE_BUSY);
      break;
    case EMSGSIZE:
      SetLastError(ERROR_WRITE_FAULT);
      break;
    case ECONNREFUSED: case ECONNRESET: case EHOSTUNREACH: case ENETUNREACH: case EADDRNOTAVAIL:
      SetLastError(network ? ERROR_BAD_NETPATH : WinErrorFromErrno(error));
      break;
    default:
      SetLastError(WinErrorFromErrno(error));
  }
  return false;
}

bool CloseTraced(HANDLE& handle, const char* what, int line) {
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool closed = CloseHandleOf(handle);
  if (!closed) TraceFailure(line, what);
  handle = INVALID_HANDLE_VALUE;
  return closed;
}

}  // namespace xtb::mail
