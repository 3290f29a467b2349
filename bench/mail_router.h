// Mail through the router of "another computer": xtmaild in a network
// namespace of the benchmark's own, joined to this one by a veth pair (the
// same kernel path as loopback, but an address that is not this computer's).
// Needs root; without it these benchmarks say so and skip.
//
// The floor is a bare UDP or TCP loop over the same pair, the receiver in
// the namespace, doing what a mail must do minus our code:
// - a socket per message, connected, one send, closed. The floor opens a
//   connection per message because the mail does: in pipe mode each mail is
//   a connection of its own (as each remote pipe client was one open of the
//   pipe), so a kept connection would measure a different service.
// - in pipe mode the receiver answers each message with one byte that the
//   sender waits for. A pipe-mode sender learns whether its mail reached the
//   receiver (Open fails for a missing endpoint, Write for a refused mail),
//   which no protocol does without an answer from the far side; the router
//   gives that answer once per mail (endpoint and mail travel together). The
//   floor without the answer is measured too and printed for information.
// - in mailslot mode nothing is answered, as a datagram is not.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <sched.h>

#include <fstream>
#include <thread>

#include "mail_local.h"
#include "os/child_processes.h"

namespace mailbench {

class NetWorld {
 public:
  static NetWorld& Get() {
    static NetWorld world;
    return world;
  }
  bool ok() const { return m_ok; }
  // Why not ok.
  const std::string& error() const { return m_error; }
  const std::string& routerAddress() const { return m_routerAddress; }
  // Runs `make` inside the namespace and returns its result (a socket made
  // there stays there).
  template <typename F>
  int InNamespace(F make) const {
    int result = -1;
    std::thread([&] {
      const int ns = open(("/var/run/netns/" + m_name).c_str(), O_RDONLY | O_CLOEXEC);
      if (ns >= 0 && setns(ns, CLONE_NEWNET) == 0) result = make();
      if (ns >= 0) close(ns);
    }).join();
    return result;
  }

 private:
  NetWorld() : m_name("xtbb" + std::to_string(getpid())) {
    TheFolder();
    const unsigned base = static_cast<unsigned>(getpid()) * 4;
    auto address = [base](unsigned host) {
      const unsigned value = base + host;
      return "10." + std::to_string((value >> 16) & 255) + "." + std::to_string((value >> 8) & 255) + "." +
             std::to_string(value & 255);
    };
    const std::string host = address(1), veth = "xtbv" + std::to_string(getpid());
    m_routerAddress = address(2);
    const std::string commands[] = {
        "ip netns add " + m_name, "ip link add " + veth + " type veth peer name " + veth + "n",
        "ip link set " + veth + "n netns " + m_name, "ip addr add " + host + "/30 dev " + veth,
        "ip link set " + veth + " up", "ip -n " + m_name + " addr add " + m_routerAddress + "/30 dev " + veth + "n",
        "ip -n " + m_name + " link set " + veth + "n up"};
    m_ok = geteuid() == 0;
    for (const std::string& command : commands) m_ok = m_ok && std::system((command + " 2>/dev/null").c_str()) == 0;
    if (!m_ok) {
      m_error = geteuid() == 0 ? "the network namespace could not be set up" : "needs root for a network namespace";
      return;
    }
    const std::string config = TheFolder().dir + "/xtmaild.conf";
    std::ofstream(config) << "listen = " << m_routerAddress << "\nallow = " << host << "\nlog_dir = " << TheFolder().dir
                          << "\ntrace_level = 0\n";
    int said[2];
    if (pipe2(said, O_CLOEXEC) != 0) {
      m_ok = false;
      m_error = "no pipe for the router's output";
      return;
    }
    // The router ends with the benchmark, also with one that aborts or is
    // killed: `ip netns exec` runs it in its own place, keeping that.
    xtb::os::ChildLaunch launch;
    launch.program = "/usr/sbin/ip";
    launch.arguments = {"ip", "netns", "exec", m_name, XTB_MAILD_PATH, "--foreground", "--config", config};
    launch.standardStreams[STDOUT_FILENO] = said[1];
    launch.endsWithStarter = true;
    m_ok = xtb::os::LaunchChild(launch, m_router) == 0;
    close(said[1]);
    // A mail sent before the router listens waits a second per attempt
    // (the pipe-mode retry) and would be timed as the router's speed.
    m_routerOutput = said[0];  // open while it runs: a later line must not end it with SIGPIPE
    m_ok = m_ok && RouterListens(said[0]);
    if (!m_ok && m_error.empty()) m_error = "the router could not be started";
  }
  // Whether the router printed that it listens, within 10 s.
  bool RouterListens(int output) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string text;
    for (;;) {
      if (text.find("listening") != std::string::npos) return true;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      pollfd ready{output, POLLIN, 0};
      char buffer[256];
      const ssize_t n = left > 0 && poll(&ready, 1, static_cast<int>(left)) > 0 ? read(output, buffer, sizeof buffer) : 0;
      if (n <= 0) {
        m_error = "the router did not say it listens within 10 s";
        return false;
      }
      text.append(buffer, static_cast<size_t>(n));
    }
  }
  ~NetWorld() {
    if (m_router.id > 0) {
      int code;
      bool signalled;
      xtb::os::KillChild(m_router);
      xtb::os::AwaitChildEnd(m_router, code, signalled);
      xtb::os::ReleaseChild(m_router);
    }
    if (m_routerOutput >= 0) close(m_routerOutput);
    std::system(("ip netns del " + m_name + " 2>/dev/null").c_str());
  }

  std::string m_name, m_routerAddress, m_error;
  xtb::os::Child m_router;
  int m_routerOutput = -1;
  bool m_ok = false;
};

// The library's endpoint here, its senders addressing the router.
class RouterEndpoint : public MailEndpoint {
 public:
  explicit RouterEndpoint(const std::string& name) : MailEndpoint(name), m_to(NetWorld::Get().routerAddress().c_str()) {}
  void Send(const std::string& text) const {
    if (!CXTMailslotClient::SendOneMessage(m_to, name(), "", MAILTYPE_BENCH, text.c_str())) FailRun("a mail through the router");
  }

 private:
  CString m_to;
};

// The floor: a bare UDP or TCP socket per message to a receiver in the
// namespace; `Confirmed`: TCP messages are answered.
template <bool Confirmed>
class BareNetLoop : public BareLoop {
 public:
  explicit BareNetLoop(const std::string&) : BareLoop(AF_INET, kPipes ? SOCK_STREAM : SOCK_DGRAM, Confirmed) {
    auto* address = reinterpret_cast<sockaddr_in*>(&m_address);
    address->sin_family = AF_INET;
    address->sin_port = htons(static_cast<unsigned short>(7000 + s_ports++));
    inet_pton(AF_INET, NetWorld::Get().routerAddress().c_str(), &address->sin_addr);
    m_length = sizeof(sockaddr_in);
    m_listener = NetWorld::Get().InNamespace([this] { return Listen(); });
  }

 private:
  static inline int s_ports = 0;
};
using BareNetEndpoint = BareNetLoop<kPipes>;

template <typename Endpoint>
void OverTheNetwork(benchmark::State& state, void (*measure)(benchmark::State&, const char*), const char* name) {
  if (!NetWorld::Get().ok()) {
    state.SkipWithError(NetWorld::Get().error().c_str());
    return;
  }
  measure(state, name);
}

void BM_RouterThroughput(benchmark::State& state) {
  OverTheNetwork<RouterEndpoint>(state, Throughput<RouterEndpoint>, "router");
}
void BM_BareNetThroughput(benchmark::State& state) {
  OverTheNetwork<BareNetEndpoint>(state, Throughput<BareNetEndpoint>, "barenet");
}
void BM_RouterRoundTrip(benchmark::State& state) {
  OverTheNetwork<RouterEndpoint>(state, RoundTrip<RouterEndpoint>, "routerrt");
}
void BM_BareNetRoundTrip(benchmark::State& state) {
  OverTheNetwork<BareNetEndpoint>(state, RoundTrip<BareNetEndpoint>, "barenetrt");
}
// Each message over the network is a connection of its own, which leaves
// the sender's port waiting for a minute after it closed: a run of a fixed
// length stays within the ports one destination has (about 28,000), where
// the run length the benchmark library picks could exhaust them.
constexpr benchmark::IterationCount kNetMessages = 5000;
BENCHMARK(BM_RouterThroughput)->UseRealTime()->Iterations(kNetMessages);
void BM_BareNetUnansweredThroughput(benchmark::State& state) {
  OverTheNetwork<BareNetLoop<false>>(state, Throughput<BareNetLoop<false>>, "barenetun");
}
void BM_BareNetUnansweredRoundTrip(benchmark::State& state) {
  OverTheNetwork<BareNetLoop<false>>(state, RoundTrip<BareNetLoop<false>>, "barenetunrt");
}
// Only pipe mode answers; in mailslot mode these would be the floor again.
const bool kUnanswered = [] {
  if (kPipes) {
    benchmark::RegisterBenchmark("BM_BareNetUnansweredThroughput", BM_BareNetUnansweredThroughput)
        ->UseRealTime()
        ->Iterations(kNetMessages);
    benchmark::RegisterBenchmark("BM_BareNetUnansweredRoundTrip", BM_BareNetUnansweredRoundTrip)
        ->UseRealTime()
        ->Iterations(kNetMessages);
  }
  return kPipes;
}();
BENCHMARK(BM_BareNetThroughput)->UseRealTime()->Iterations(kNetMessages);
BENCHMARK(BM_RouterRoundTrip)->UseRealTime()->Iterations(kNetMessages);
BENCHMARK(BM_BareNetRoundTrip)->UseRealTime()->Iterations(kNetMessages);

const xtbbench::Ratio kRouterThroughput("BM_RouterThroughput", "BM_BareNetThroughput",
                                        kPipes ? "pipe-mode mails per second through the router against bare TCP"
                                               : "mailslot-mode mails per second through the router against bare UDP",
                                        xtbbench::Clock::Wall);
const xtbbench::Ratio kRouterRoundTrip("BM_RouterRoundTrip", "BM_BareNetRoundTrip",
                                       kPipes ? "pipe-mode round trip through the router against bare TCP"
                                              : "mailslot-mode round trip through the router against bare UDP",
                                       xtbbench::Clock::Median);
// For information: the pipe-mode floor without the receiver's answer.
const bool kUnansweredRatios = [] {
  if (kPipes) {
    xtbbench::AddRatio("BM_RouterThroughput", "BM_BareNetUnansweredThroughput",
                       "(information) pipe-mode mails per second through the router against unanswered TCP",
                       xtbbench::Clock::Wall);
    xtbbench::AddRatio("BM_RouterRoundTrip", "BM_BareNetUnansweredRoundTrip",
                       "(information) pipe-mode round trip through the router against unanswered TCP",
                       xtbbench::Clock::Median);
  }
  return kPipes;
}();

}  // namespace mailbench
