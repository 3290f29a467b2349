// Port 443 of the loopback interface is one per machine: a second run of
// these tests at the same time (another build tree, a benchmark) would take
// it from this one, and "nobody listens there" would not hold. So the
// program moves into a network of its own, with only a loopback interface,
// before any test (or thread) starts; the test server and the tool started
// by the tests inherit it. Without the right to do so (not root), the tests
// keep the machine's network and rely on ctest's lock on the port.
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool LoopbackUp() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq request{};
  std::strcpy(request.ifr_name, "lo");
  const bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0 &&
                  (request.ifr_flags |= IFF_UP, ioctl(fd, SIOCSIFFLAGS, &request) == 0);
  close(fd);
  return up;
}

[[maybe_unused]] const bool kPrivateNetwork = [] {
  if (unshare(CLONE_NEWNET) != 0) {
    std::fprintf(stderr, "tests run in the machine's network (%s): port 443 is shared\n", std::strerror(errno));
    return false;
  }
  if (!LoopbackUp()) {
    std::fprintf(stderr, "the private network's loopback interface did not come up: %s\n", std::strerror(errno));
    return false;
  }
  return true;
}();

}  // namespace
