#include "router.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <xtbasis/errortext.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/trace.h>

#include "os/localsocket.h"
#include "mailfolder.h"
#include "mailhandles.h"
#include "mailnames.h"
#include "routersysbase.h"

namespace xtmaild {

using xtb::mail::ConnectionParser;

Router::Router(std::string configPath, Config config) : m_configPath(std::move(configPath)), m_config(std::move(config)) {
  RouterSysBase::Get().Apply(m_config);
}

Router::~Router() {
  for (auto& [fd, connection] : m_connections) {
    xtb::os::CloseEndpoint(connection.local);
    xtb::os::CloseSocket(fd);
  }
  for (const auto& [file, kept] : m_datagramEndpoints) xtb::os::CloseEndpoint(kept.fd);
  for (int fd : {m_udp, m_tcp, m_signals}) xtb::os::CloseSocket(fd);
}

bool Router::Bind(const Config& config, int& udp, int& tcp, std::string& error) {
  xtb::os::NetAddress at;
  if (!xtb::os::Resolve(config.listen, config.port, at)) {
    error = "cannot use the address " + config.listen;
    return false;
  }
  udp = xtb::os::UdpListen(at);
  tcp = udp < 0 ? -1 : xtb::os::TcpListen(at, 128);
  if (tcp < 0) {
    xtb::SetLastErrorFromErrno();
    error = "cannot bind " + config.listen + " port " + std::to_string(config.port) + ": " +
            GetLastErrorString(nullptr, GetLastError()).GetString();
    xtb::os::CloseSocket(udp);
    return false;
  }
  return true;
}

bool Router::Start(std::string& error) {
  if (!m_poller.ok()) {
    error = "cannot wait for events";
    return false;
  }
  for (const auto& passed : xtb::os::PassedSockets()) (passed.datagram ? m_udp : m_tcp) = passed.fd;
  if ((m_udp < 0 || m_tcp < 0) && !Bind(m_config, m_udp, m_tcp, error)) return false;
  m_signals = xtb::os::SignalDescriptor({SIGHUP, SIGTERM, SIGINT});
  if (m_signals < 0 || !m_poller.Add(m_udp) || !m_poller.Add(m_tcp) || !m_poller.Add(m_signals)) {
    error = "cannot wait for events";
    return false;
  }
  Trace(XTTRACE_INFO, "xtmaild: bereit auf " + m_config.listen + " Port " + std::to_string(m_config.port));
  return true;
}

void Router::Run() {
  for (;;) {
    for (const xtb::os::PollEvent& event : m_poller.Wait(WaitMs())) {
      if (event.fd == m_udp) {
        ReceiveDatagrams();
      } else if (event.fd == m_tcp) {
        AcceptConnections();
      } else if (event.fd == m_signals) {
        for (int signal; (signal = xtb::os::TakeSignal(m_signals)) != 0;) {
          if (signal == SIGHUP) {
            Reload();
          } else {
            Trace(XTTRACE_INFO, "xtmaild: beendet");
            return;
          }
        }
      } else if (m_connections.count(event.fd)) {
        ServeConnection(event.fd);
      }
    }
    ExpireConnections();
  }
}

void Router::Reload() {
  Config fresh;
  std::string error;
  if (!LoadConfig(m_configPath, fresh, error)) {
    Trace(XTTRACE_ERROR, "xtmaild: Konfiguration nicht neu geladen: " + error);
    return;
  }
  if (fresh.listen != m_config.listen || fresh.port != m_config.port) {
    int udp = -1, tcp = -1;
    if (!Bind(fresh, udp, tcp, error)) {
      Trace(XTTRACE_ERROR, "xtmaild: Konfiguration nicht neu geladen: " + error);
      return;
    }
    for (int old : {m_udp, m_tcp}) {
      m_poller.Remove(old);
      xtb::os::CloseSocket(old);
    }
    m_udp = udp;
    m_tcp = tcp;
    m_poller.Add(m_udp);
    m_poller.Add(m_tcp);
  }
  m_config = fresh;
  RouterSysBase::Get().Apply(m_config);
  Trace(XTTRACE_INFO, "xtmaild: Konfiguration neu geladen");
}

void Router::ReceiveDatagrams() {
  char packet[xtb::mail::kMaxEndpoint + 1 + xtb::mail::kMailslotMailMax + 1];
  for (int budget = 256; budget > 0; --budget) {  // then let the connections have their turn
    xtb::os::NetAddress from;
    const long length = xtb::os::ReceiveFrom(m_udp, packet, sizeof packet, from);
    if (length < 0) return;
    if (!IsAllowed(m_config.allow, from)) {
      Refuse("xtmaild: Absender " + from.Text() + " nicht zugelassen (UDP)");
      continue;
    }
    std::string_view endpoint, mail;
    if (static_cast<size_t>(length) > sizeof packet ||
        !xtb::mail::ParseDatagram(std::string_view(packet, static_cast<size_t>(length)), endpoint, mail)) {
      Refuse("xtmaild: ungültiges Paket von " + from.Text() + " (" + std::to_string(length) + " Bytes)");
      continue;
    }
    if (!DeliverDatagram(endpoint, mail) && GetLastError() != ERROR_PIPE_BUSY)
      Refuse("xtmaild: Mail von " + from.Text() + " an " + std::string(endpoint) +
             " nicht zugestellt: " + GetLastErrorString(nullptr, GetLastError()).GetString());
  }
}

bool Router::DeliverDatagram(std::string_view endpoint, std::string_view mail) {
  const std::string file = xtb::mail::EndpointFile(endpoint);
  auto kept = m_datagramEndpoints.find(file);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (kept == m_datagramEndpoints.end()) {
      if (m_datagramEndpoints.size() >= kKeptEndpoints) {
        for (const auto& [name, endpointFd] : m_datagramEndpoints) xtb::os::CloseEndpoint(endpointFd.fd);
        m_datagramEndpoints.clear();
      }
      const int fd = xtb::mail::ConnectMailEndpoint(file, xtb::os::SocketKind::Datagram);
      if (fd < 0) return xtb::mail::FailedOn(xtb::mail::Channel::LocalConnection);
      kept = m_datagramEndpoints.emplace(file, KeptEndpoint{fd}).first;
    }
    // Never waits: a receiver that does not read costs one refused send per
    // mail, and every other endpoint's mail goes on at once.
    if (xtb::os::SendMessage(kept->second.fd, mail.data(), mail.size(), 0)) return true;
    const int error = errno;
    if (error == EBUSY) return CountDrop(endpoint, kept->second);
    errno = error;
    xtb::mail::FailedOn(xtb::mail::Channel::LocalConnection);
    // The receiver went (or was replaced): connect anew once.
    xtb::os::CloseEndpoint(kept->second.fd);
    m_datagramEndpoints.erase(kept);
    kept = m_datagramEndpoints.end();
  }
  return false;
}

bool Router::CountDrop(std::string_view endpoint, KeptEndpoint& kept) {
  ++kept.dropped;
  ++kept.droppedUntraced;
  const auto now = Clock::now();
  if (now - kept.lastDropTrace >= std::chrono::seconds(1)) {
    Trace(XTTRACE_WARN, "xtmaild: " + std::to_string(kept.droppedUntraced) + " Mail(s) an " + std::string(endpoint) +
                            " verworfen: der Empfänger nimmt nichts an (" + std::to_string(kept.dropped) +
                            " insgesamt)");
    kept.lastDropTrace = now;
    kept.droppedUntraced = 0;
  }
  SetLastError(ERROR_PIPE_BUSY);
  return false;
}

void Router::AcceptConnections() {
  for (;;) {
    xtb::os::NetAddress peer;
    const int fd = xtb::os::TcpAccept(m_tcp, peer);
    if (fd < 0) return;
    const std::string text = peer.Text();
    const std::string client = ClientOf(text);
    std::string refusal;
    if (!IsAllowed(m_config.allow, peer))
      refusal = "nicht zugelassen";
    else if (static_cast<int>(m_connections.size()) >= m_config.maxConnections)
      refusal = "abgewiesen: " + std::to_string(m_config.maxConnections) + " Verbindungen offen";
    else if (m_perClient[client] >= m_config.maxPerClient)
      refusal = "abgewiesen: " + std::to_string(m_config.maxPerClient) + " Verbindungen dieses Absenders offen";
    if (!refusal.empty()) {
      Refuse("xtmaild: Absender " + text + " " + refusal + " (TCP)");
      if (m_perClient[client] == 0) m_perClient.erase(client);
      xtb::os::CloseSocket(fd);
      continue;
    }
    ++m_perClient[client];
    Connection& connection = m_connections[fd];
    connection.peer = peer;
    connection.peerText = text;
    connection.client = client;
    connection.deadline = Clock::now() + std::chrono::milliseconds(m_config.timeoutMs);
    // A sender writes as soon as it is connected: its request is often here
    // already, and a connection served at once never needs waiting for.
    ServeConnection(fd);
    if (m_connections.count(fd) == 0) continue;
    if (!m_poller.Add(fd)) {
      Refuse("xtmaild: Absender " + text + " nicht angenommen (TCP)");
      Drop(fd);
      continue;
    }
    m_connections[fd].polled = true;
  }
}

void Router::ServeConnection(int fd) {
  Connection& connection = m_connections[fd];
  char buffer[16384];
  const long length = xtb::os::ReadSome(fd, buffer, sizeof buffer);
  if (length == -2) return;
  if (length <= 0) {  // the sender left, or failed
    Drop(fd);
    return;
  }
  // A sender may send the endpoint and the mail at once: the answers to both
  // then leave in one segment.
  char answers[8];
  size_t answered = 0;
  size_t at = 0;
  while (at < static_cast<size_t>(length)) {
    at += connection.parser.Feed(buffer + at, static_cast<size_t>(length) - at);
    switch (connection.parser.state()) {
      case ConnectionParser::State::EndpointReady: {
        const std::string& endpoint = connection.parser.endpoint();
        connection.local =
            xtb::mail::ConnectMailEndpoint(xtb::mail::EndpointFile(endpoint), xtb::os::SocketKind::Sequenced);
        if (connection.local < 0) {
          xtb::mail::FailedOn(xtb::mail::Channel::LocalConnection);
          Answer(fd, GetLastError());
          Drop(fd);
          return;
        }
        xtb::mail::PutStatus(0, answers + answered);
        answered += 4;
        connection.parser.ExpectMail();
        connection.deadline = Clock::now() + std::chrono::milliseconds(m_config.timeoutMs);
        break;
      }
      case ConnectionParser::State::MailReady: {
        const std::string& mail = connection.parser.mail();
        const bool delivered = xtb::os::SendMessage(connection.local, mail.data(), mail.size(), 0) ||
                               xtb::mail::FailedOn(xtb::mail::Channel::LocalConnection);
        xtb::mail::PutStatus(delivered ? 0 : GetLastError(), answers + answered);
        xtb::os::WriteSome(fd, answers, answered + 4);
        Trace(XTTRACE_INFO, "xtmaild: Mail von " + connection.peerText + " an " + connection.parser.endpoint() +
                                (delivered ? " zugestellt" : " nicht zugestellt"));
        Drop(fd);
        return;
      }
      case ConnectionParser::State::Invalid:
        Refuse("xtmaild: ungültige Anfrage von " + connection.peerText + " (TCP)");
        xtb::mail::PutStatus(ERROR_INVALID_DATA, answers + answered);
        xtb::os::WriteSome(fd, answers, answered + 4);
        Drop(fd);
        return;
      default:
        break;
    }
  }
  if (answered > 0 && xtb::os::WriteSome(fd, answers, answered) != static_cast<long>(answered)) Drop(fd);
}

bool Router::Answer(int fd, uint32_t status) {
  char bytes[4];
  xtb::mail::PutStatus(status, bytes);
  return xtb::os::WriteSome(fd, bytes, 4) == 4;
}

void Router::Drop(int fd) {
  const auto found = m_connections.find(fd);
  if (found == m_connections.end()) return;
  if (found->second.local >= 0) xtb::os::CloseEndpoint(found->second.local);
  if (--m_perClient[found->second.client] <= 0) m_perClient.erase(found->second.client);
  if (found->second.polled) m_poller.Remove(fd);
  m_connections.erase(found);
  xtb::os::CloseSocket(fd);
}

void Router::ExpireConnections() {
  const auto now = Clock::now();
  std::vector<int> late;
  for (const auto& [fd, connection] : m_connections)
    if (connection.deadline <= now) late.push_back(fd);
  for (int fd : late) {
    Refuse("xtmaild: Verbindung von " + m_connections[fd].peerText + " nach " + std::to_string(m_config.timeoutMs) +
           " ms ohne Anfrage geschlossen");
    Answer(fd, ERROR_TIMEOUT);
    Drop(fd);
  }
}

int Router::WaitMs() const {
  if (m_connections.empty()) return -1;
  auto next = Clock::time_point::max();
  for (const auto& [fd, connection] : m_connections) next = std::min(next, connection.deadline);
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count() + 1;
  return static_cast<int>(std::clamp<long long>(wait, 0, 60000));
}

void Router::Refuse(const std::string& text) {
  const auto now = Clock::now();
  if (now - m_refusalSecond >= std::chrono::seconds(1)) {
    if (m_refusalsUntraced > 0)
      Trace(XTTRACE_WARN, "xtmaild: " + std::to_string(m_refusalsUntraced) + " weitere Abweisungen nicht einzeln verzeichnet");
    m_refusalSecond = now;
    m_refusalsThisSecond = 0;
    m_refusalsUntraced = 0;
  }
  if (++m_refusalsThisSecond <= kRefusalsPerSecond)
    Trace(XTTRACE_WARN, text);
  else
    ++m_refusalsUntraced;
}

std::string Router::ClientOf(const std::string& peerText) {
  // Every account of this machine can connect from any address of
  // 127.0.0.0/8 or ::1: loopback is one client, so that it cannot take the
  // connections that other computers need.
  return xtb::os::IsLoopbackLiteral(peerText) ? "loopback" : peerText;
}

std::string Router::Printable(const std::string& text) {
  // Endpoint names come from the network and may hold any byte but NUL: a
  // line break or tab in them must not start a record of its own.
  std::string printable;
  printable.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      printable += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    printable += escaped;
  }
  return printable;
}

void Router::Trace(int level, const std::string& text) {
  XTTrace(level, XTTRACE_PROGID_XTBASIS, "xtmaild", 0, "%s", Printable(text).c_str());
}

}  // namespace xtmaild
