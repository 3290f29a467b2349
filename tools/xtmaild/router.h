// The mail router: takes mail for this computer from other computers (UDP
// for mailslot mode, TCP for pipe mode, one port) and hands it to the local
// endpoint it names. It delivers nowhere else, lets in only the senders of
// its allow-list, and bounds what one client can cost: the mail size, the
// connections at once (in all and per address) and the time of each step.
// Every refusal leaves a trace record.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <unordered_map>

#include "os/netsocket.h"
#include "os/poller.h"
#include "config.h"
#include "routerwire.h"

namespace xtmaild {

class Router {
 public:
  Router(std::string configPath, Config config);
  ~Router();
  Router(const Router&) = delete;
  Router& operator=(const Router&) = delete;

  // Binds the port (or takes the sockets a service manager passed); false
  // with the reason in `error`.
  bool Start(std::string& error);
  // Serves until SIGTERM or SIGINT; SIGHUP reloads the configuration.
  void Run();

 private:
  using Clock = std::chrono::steady_clock;
  struct Connection {
    xtb::os::NetAddress peer;
    std::string peerText;
    std::string client;  // what the per-client cap counts (ClientOf)
    xtb::mail::ConnectionParser parser;
    int local = -1;  // the receiver's endpoint, once reached
    bool polled = false;  // waited for by the poller
    Clock::time_point deadline;
  };

  bool Bind(const Config& config, int& udp, int& tcp, std::string& error);
  void Reload();
  void ReceiveDatagrams();
  void AcceptConnections();
  void ServeConnection(int fd);
  // Answers a step of a connection; false when the connection is done.
  bool Answer(int fd, uint32_t status);
  void Drop(int fd);
  void ExpireConnections();
  int WaitMs() const;
  // A kept connection to a local datagram endpoint and the mail dropped
  // because its receiver took none.
  struct KeptEndpoint {
    int fd = -1;
    long dropped = 0, droppedUntraced = 0;
    Clock::time_point lastDropTrace{};
  };
  // Hands a datagram to its endpoint through a kept connection, without
  // waiting; a full receiver drops it (ERROR_PIPE_BUSY, CountDrop).
  bool DeliverDatagram(std::string_view endpoint, std::string_view mail);
  // Counts a dropped mail; one record per endpoint and second says how many.
  bool CountDrop(std::string_view endpoint, KeptEndpoint& kept);
  static std::string ClientOf(const std::string& peerText);
  // `text` with control characters as \xNN.
  static std::string Printable(const std::string& text);
  void Refuse(const std::string& text);
  void Trace(int level, const std::string& text);

  std::string m_configPath;
  Config m_config;
  xtb::os::Poller m_poller;
  int m_udp = -1, m_tcp = -1, m_signals = -1;
  std::unordered_map<int, Connection> m_connections;
  std::map<std::string, int> m_perClient;
  // Connections to local datagram endpoints, by file name.
  static constexpr size_t kKeptEndpoints = 256;
  std::unordered_map<std::string, KeptEndpoint> m_datagramEndpoints;
  // Refusal records are limited to kRefusalsPerSecond, the rest counted.
  static constexpr int kRefusalsPerSecond = 20;
  Clock::time_point m_refusalSecond;
  int m_refusalsThisSecond = 0;
  long m_refusalsUntraced = 0;
};

}  // namespace xtmaild
