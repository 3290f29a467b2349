// A second computer for the router tests: a network namespace joined to
// this one by a veth pair, with xtmaild running inside it. The namespace
// shares the file system, so the router delivers into the same mail folder
// as the test's receivers, but mail reaches it only over the network.
// Needs root (CI runs as root); the tests skip otherwise.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "child_process.h"
#include "mail_fixture.h"
#include "mailroute.h"

class RouterWorld {
 public:
  // Addresses of a /30 network of this process alone, from its id.
  RouterWorld() : m_name("xtbm" + std::to_string(getpid())) {
    const unsigned base = static_cast<unsigned>(getpid()) * 4;
    auto address = [base](unsigned host) {
      const unsigned value = base + host;
      return "10." + std::to_string((value >> 16) & 255) + "." + std::to_string((value >> 8) & 255) + "." +
             std::to_string(value & 255);
    };
    m_hostAddress = address(1);
    m_routerAddress = address(2);
    const std::string host = "xtbh" + std::to_string(getpid()), peer = "xtbn" + std::to_string(getpid());
    m_ready = geteuid() == 0 &&
              Run("ip netns add " + m_name) && Run("ip link add " + host + " type veth peer name " + peer) &&
              Run("ip link set " + peer + " netns " + m_name) && Run("ip addr add " + m_hostAddress + "/30 dev " + host) &&
              Run("ip link set " + host + " up") &&
              Run("ip -n " + m_name + " addr add " + m_routerAddress + "/30 dev " + peer) &&
              Run("ip -n " + m_name + " link set " + peer + " up") && Run("ip -n " + m_name + " link set lo up");
    m_logDir = MailWorld::Get().dir() / ("router-log-" + m_name);
    m_configPath = (MailWorld::Get().dir() / ("xtmaild-" + m_name + ".conf")).string();
  }
  ~RouterWorld() {
    StopRouter();
    Run("ip netns del " + m_name);  // takes the veth pair with it
  }

  bool ready() const { return m_ready; }
  const std::string& routerAddress() const { return m_routerAddress; }
  const std::string& hostAddress() const { return m_hostAddress; }
  // The network namespace the router runs in (/var/run/netns/<name>).
  const std::string& netns() const { return m_name; }

  // Writes the configuration: the router's port and log folder, then `extra` lines.
  void Configure(const std::string& extra) {
    std::ofstream(m_configPath) << "listen = " << m_routerAddress << "\nport = " << Port()
                                << "\nlog_dir = " << m_logDir.string() << "\ntrace_level = 3\n" << extra;
  }
  bool StartRouter() {
    std::filesystem::create_directories(m_logDir);
    m_router = std::make_unique<ChildProcess>(std::vector<std::string>{
        "/usr/sbin/ip", "netns", "exec", m_name, XTB_MAILD_PATH, "--foreground", "--config", m_configPath});
    return m_router->ReadLine().starts_with("xtmaild: listening");
  }
  void StopRouter() { m_router.reset(); }
  void Reload() { kill(m_router->pid(), SIGHUP); }
  // The router's trace records so far.
  std::string RouterTraces() const {
    std::ifstream in(m_logDir / "r9trace.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Waits up to two seconds for a trace record containing `text`.
  bool AwaitRouterTrace(const std::string& text) const {
    for (int i = 0; i < 200; ++i) {
      if (RouterTraces().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  static unsigned short Port() { return xtb::mail::RouterPort(); }

 private:
  static bool Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

  std::string m_name, m_hostAddress, m_routerAddress, m_configPath;
  std::filesystem::path m_logDir;
  std::unique_ptr<ChildProcess> m_router;
  bool m_ready = false;
};
