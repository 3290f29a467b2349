// Mail on one machine: mails per second and the round-trip time (p50, p99)
// of the library's sender and receiver, against the floor of a bare AF_UNIX
// loop doing the same per mail (a socket connected for each mail, one
// message, closed; the receiver reading one message, or accepting one
// connection and reading it, per mail). Included by the mailslot-mode and
// the pipe-mode program, since the mode is chosen once per process.
// Round trips are compared by their medians: on a shared machine a few
// trips that waited for a processor move the mean far more than the work.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>
#include <xtbasis/mailslot.h>
#include <xtbasis/platform/lasterror.h>

#include "peer_ratio.h"

namespace mailbench {

using Clock = std::chrono::steady_clock;

// Ends a run whose mail or socket failed, saying which step and why first:
// the table printed so far is flushed, and the reason goes to the
// unbuffered error stream, so an aborted run leaves more than its abort.
[[noreturn]] inline void FailRun(const char* step) {
  const int error = errno;
  std::fflush(stdout);
  std::fprintf(stderr, "mail benchmark: %s failed (errno %d: %s; last error %lu)\n", step, error, std::strerror(error),
               static_cast<unsigned long>(GetLastError()));
  std::abort();
}

struct Folder {
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-bench-mail-XXXXXX").string();
    if (!mkdtemp(pattern.data())) FailRun("making the benchmark folder");
    dir = pattern;
    setenv("XTBASIS_MAIL_DIR", (dir + "/mail").c_str(), 1);
    if (kPipes) CXTMailslotServer::UseNamedPipes();
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string dir;
};

inline Folder& TheFolder() {
  static Folder folder;
  return folder;
}

// The bare loop: a socket of its own for each message to the listener's
// address; the receiver reads one message, or accepts one connection and
// reads it.
class BareLoop {
 public:
  BareLoop(const BareLoop&) = delete;
  BareLoop& operator=(const BareLoop&) = delete;
  void Send(const std::string& text) const {
    const int fd = socket(m_domain, m_type, 0);
    char answer;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&m_address), m_length) != 0) FailRun("a bare connect");
    if (send(fd, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size())) FailRun("a bare send");
    if (m_confirmed && recv(fd, &answer, 1, 0) != 1) FailRun("a bare answer");
    close(fd);
  }
  std::string Receive() const {
    char buffer[kPipes ? 65536 : 424];
    const bool stream = m_type != SOCK_DGRAM;
    const int from = stream ? accept(m_listener, nullptr, nullptr) : m_listener;
    const ssize_t n = recv(from, buffer, sizeof buffer, 0);
    if (m_confirmed) send(from, "", 1, MSG_NOSIGNAL);
    if (stream) close(from);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  }

 protected:
  // `confirmed`: the receiver answers each message with a byte that the
  // sender waits for (only for streams).
  BareLoop(int domain, int type, bool confirmed = false) : m_domain(domain), m_type(type), m_confirmed(confirmed) {}
  ~BareLoop() { close(m_listener); }
  // Binds (and for streams listens on) `m_address` in a new socket.
  int Listen() const {
    const int fd = socket(m_domain, m_type, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&m_address), m_length) != 0) FailRun("a bare bind");
    if (m_type != SOCK_DGRAM) listen(fd, SOMAXCONN);
    return fd;
  }

  int m_domain, m_type;
  bool m_confirmed;
  sockaddr_storage m_address{};
  socklen_t m_length = 0;
  int m_listener = -1;
};

// The floor on one machine: AF_UNIX datagrams or sequenced packets.
class BareEndpoint : public BareLoop {
 public:
  explicit BareEndpoint(const std::string& name) : BareLoop(AF_UNIX, kPipes ? SOCK_SEQPACKET : SOCK_DGRAM) {
    const std::string path = TheFolder().dir + "/" + name;
    unlink(path.c_str());
    auto* address = reinterpret_cast<sockaddr_un*>(&m_address);
    address->sun_family = AF_UNIX;
    std::strncpy(address->sun_path, path.c_str(), sizeof address->sun_path - 1);
    m_length = sizeof(sockaddr_un);
    m_listener = Listen();
  }
};

// The library's endpoint, with the same two operations.
class MailEndpoint {
 public:
  explicit MailEndpoint(const std::string& name) : m_name(name.c_str()) {
    TheFolder();
    if (!m_server.Create(m_name, "")) FailRun("a receiver's Create");
  }
  void Send(const std::string& text) const {
    if (!CXTMailslotClient::SendOneMessage(".", m_name, "", MAILTYPE_BENCH, text.c_str())) FailRun("a local mail");
  }
  const CString& name() const { return m_name; }
  std::string Receive() {
    CString sender, text;
    MAILTYPES type;
    while (!m_server.Read(sender, type, text)) {
    }
    return text.GetString();
  }

 private:
  CString m_name;
  CXTMailslotServer m_server;
};

constexpr char kText[] = "Patient 4711 ist im Wartezimmer";

// A mail that took this long waited out the pipe-mode pause before another
// attempt (for an endpoint busy or not there yet): the run measured the
// pause, not the mail, and fails instead of giving a figure.
inline void FailIfStalled(benchmark::State& state, double longestSeconds) {
  if (longestSeconds < 1.0) return;  // the pause is 1 s
  const std::string why = "one mail took " + std::to_string(longestSeconds) + " s (a retry pause)";
  state.SkipWithError(why.c_str());
}

// One mail per iteration from this thread, a receiver thread taking them.
template <typename Endpoint>
void Throughput(benchmark::State& state, const char* name) {
  static int run = 0;
  Endpoint endpoint(std::string(name) + std::to_string(run++));
  std::atomic<bool> stopped{false};
  std::thread receiver([&] {
    while (endpoint.Receive() != "stop") {
    }
    stopped = true;
  });
  Clock::duration longest{};
  for (auto _ : state) {
    const auto sentAt = Clock::now();
    endpoint.Send(kText);
    longest = std::max(longest, Clock::now() - sentAt);
  }
  // A datagram's way may drop what finds the receiver's queue full (the
  // router does, by design), so "stop" goes again until it was taken.
  for (;;) {
    endpoint.Send("stop");
    for (int waited = 0; waited < 100 && !stopped; ++waited) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (stopped) break;
  }
  receiver.join();
  state.SetItemsProcessed(state.iterations());
  FailIfStalled(state, std::chrono::duration<double>(longest).count());
}

// A mail there and one back per iteration; p50 and p99 in microseconds.
template <typename Endpoint>
void RoundTrip(benchmark::State& state, const char* name) {
  static int run = 0;
  const std::string base = std::string(name) + std::to_string(run++);
  Endpoint there(base + "a"), back(base + "b");
  std::thread echo([&] {
    while (there.Receive() != "stop") back.Send("pong");
  });
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto sentAt = Clock::now();
    there.Send("ping");
    back.Receive();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - sentAt).count());
  }
  there.Send("stop");
  echo.join();
  std::sort(seconds.begin(), seconds.end());
  state.counters["p50_us"] = seconds[seconds.size() / 2] * 1e6;
  state.counters["p99_us"] = seconds[std::min(seconds.size() - 1, seconds.size() * 99 / 100)] * 1e6;
  FailIfStalled(state, seconds.back());
  xtbbench::SetMedianTime(state, std::move(seconds));
}

void BM_MailThroughput(benchmark::State& state) { Throughput<MailEndpoint>(state, "mail"); }
void BM_BareThroughput(benchmark::State& state) { Throughput<BareEndpoint>(state, "bare"); }
void BM_MailRoundTrip(benchmark::State& state) { RoundTrip<MailEndpoint>(state, "mailrt"); }
void BM_BareRoundTrip(benchmark::State& state) { RoundTrip<BareEndpoint>(state, "barert"); }
BENCHMARK(BM_MailThroughput)->UseRealTime();
BENCHMARK(BM_BareThroughput)->UseRealTime();
BENCHMARK(BM_MailRoundTrip)->UseRealTime();
BENCHMARK(BM_BareRoundTrip)->UseRealTime();

// Sender and receiver wait on each other, so the ratios are of real time.
const xtbbench::Ratio kThroughput("BM_MailThroughput", "BM_BareThroughput",
                                  kPipes ? "pipe-mode mails per second against a bare seqpacket loop"
                                         : "mailslot-mode mails per second against a bare datagram loop",
                                  xtbbench::Clock::Wall, 0.85);
const xtbbench::Ratio kRoundTrip("BM_MailRoundTrip", "BM_BareRoundTrip",
                                 kPipes ? "pipe-mode round trip against a bare seqpacket loop"
                                        : "mailslot-mode round trip against a bare datagram loop",
                                 xtbbench::Clock::Median);

}  // namespace mailbench
