#include <string>
#include <xtbasis/mailslot.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/localsocket.h>
#include <xtbasis/platform/mailclock.h>
#include <xtbasis/platform/netsocket.h>
#include <xtbasis/workstation.h>

#include "mailhandles.h"
#include "mailnames.h"
#include "mailroute.h"
#include "mailtrace.h"
#include "routerwire.h"

using namespace xtb::mail;

namespace {

constexpr int kPipeAttempts = 5;
constexpr DWORD kPipeRetryMs = 1000;
// How long a send may wait for a receiver that does not take mail, and a
// router for its answers.
constexpr int kSendTimeoutMs = 5000;

// A mail's id: the machine's mail clock in base 36, at most 7 digits.
std::string MailId() {
  constexpr uint64_t kSevenDigits = 78364164096ULL;  // 36^7
  uint64_t value = xtb::local::NextMailClock() % kSevenDigits;
  char digits[8];
  int at = 7;
  digits[at] = '\0';
  do {
    const int digit = static_cast<int>(value % 36);
    digits[--at] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    value /= 36;
  } while (value > 0);
  return digits + at;
}

// One pipe-mode connection to a router: the endpoint is asked for, and the
// router answers once it has reached the receiver.
int OpenRouterStream(const xtb::net::Address& router, const std::string& endpoint) {
  const int fd = xtb::net::TcpConnect(router, kSendTimeoutMs);
  if (fd < 0) return -1;
  char status[4];
  if (!xtb::net::SendAll(fd, endpoint.c_str(), endpoint.size() + 1) || !xtb::net::ReceiveAll(fd, status, 4) ||
      (GetStatus(status) != 0 && (SetLastError(GetStatus(status)), true))) {
    const DWORD error = GetLastError();
    xtb::net::Close(fd);
    SetLastError(error);
    return -1;
  }
  return fd;
}

// Opens the endpoint once; the handle, or INVALID_HANDLE_VALUE.
HANDLE OpenOnce(const std::string& computer, const std::string& endpoint, bool pipe) {
  if (IsThisComputer(computer)) {
    const int fd = xtb::local::Connect(EndpointFile(endpoint),
                                       pipe ? xtb::local::Kind::Sequenced : xtb::local::Kind::Datagram);
    return fd < 0 ? INVALID_HANDLE_VALUE : RegisterHandle(fd, Channel::LocalConnection);
  }
  xtb::net::Address router;
  if (!xtb::net::Resolve(computer, RouterPort(), router)) return INVALID_HANDLE_VALUE;
  const int fd = pipe ? OpenRouterStream(router, endpoint) : xtb::net::UdpConnect(router);
  return fd < 0 ? INVALID_HANDLE_VALUE
                : RegisterHandle(fd, pipe ? Channel::NetworkStream : Channel::NetworkDatagram);
}

}  // namespace

CXTMailslotClient::CXTMailslotClient() : m_handle(INVALID_HANDLE_VALUE) {}

CXTMailslotClient::~CXTMailslotClient() { Close(); }

bool CXTMailslotClient::Open(const CString& computer, const CString& name, const CString& subName) {
  const bool pipe = PipeMode();
  const std::string endpoint = EndpointName(pipe, name, subName);
  const std::string place(computer.GetString(), static_cast<size_t>(computer.GetLength()));
  for (int attempt = 1; attempt <= (pipe ? kPipeAttempts : 1); ++attempt) {
    m_handle = OpenOnce(place, endpoint, pipe);
    if (m_handle != INVALID_HANDLE_VALUE) break;
    if (pipe) {
      const DWORD error = GetLastError();
      Sleep(kPipeRetryMs);
      SetLastError(error);
    }
  }
  if (m_handle == INVALID_HANDLE_VALUE) {
    TraceFailure(__LINE__, "CXTMailslotClient::Open: CreateFile: '\\\\" + place + "\\" + endpoint + "' :");
    return false;
  }
  m_route = CString(endpoint);
  Channel channel;
  const int fd = DescriptorOf(m_handle, &channel);
  // A write waits a bounded time for a receiver that takes no mail.
  if (channel != Channel::NetworkDatagram && !xtb::local::SetSendTimeout(fd, kSendTimeoutMs) && pipe) {
    TraceFailure(__LINE__, "CXTMailslotClient::Open: SetNamedPipeHandleState: ");
    CloseHandleOf(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    return false;
  }
  return true;
}

bool CXTMailslotClient::Write(const CString& sender, const MAILTYPES& type, const CString& text) {
  std::string mail(sender.GetString(), static_cast<size_t>(sender.GetLength()));
  mail += '|';
  mail += MailId();
  mail += '|';
  mail += TypeName(type);
  mail += '|';
  mail.append(text.GetString(), static_cast<size_t>(text.GetLength()));
  if (!PipeMode() && mail.size() > kMailslotMailMax) mail.replace(kMailslotMailMax - 3, std::string::npos, "...");

  Channel channel;
  const int fd = DescriptorOf(m_handle, &channel);
  bool written = false;
  if (fd >= 0) {
    switch (channel) {
      case Channel::NetworkDatagram: {
        const std::string packet = MakeDatagram(std::string_view(m_route.GetString(), m_route.GetLength()), mail);
        written = xtb::net::SendDatagram(fd, packet.data(), packet.size());
        break;
      }
      case Channel::NetworkStream: {
        char header[4], status[4];
        PutStatus(static_cast<uint32_t>(mail.size()), header);
        written = xtb::net::SendAll(fd, header, 4) && xtb::net::SendAll(fd, mail.data(), mail.size()) &&
                  xtb::net::ReceiveAll(fd, status, 4);
        if (written && GetStatus(status) != 0) {
          SetLastError(GetStatus(status));
          written = false;
        }
        break;
      }
      default:
        written = xtb::local::Send(fd, mail.data(), mail.size());
    }
  }
  if (!written) TraceFailure(__LINE__, "CXTMailslotClient::Write: ");
  return written;
}

bool CXTMailslotClient::Close() { return CloseTraced(m_handle, "CXTMailslotClient::Close: ", __LINE__); }

bool CXTMailslotClient::SendOneMessage(const CString& computer, const CString& name, const CString& subName,
                                       const MAILTYPES& type, const CString& text) {
  CXTMailslotClient client;
  return client.Open(computer, name, subName) && client.Write(GetWorkstation(), type, text) && client.Close();
}

bool CXTMailslotClient::SendR9UserMessage(const CString& computer, const CString& subName, const CString& text) {
  CString target = computer;
  if (PipeMode()) {
    const std::string address = xtb::net::ResolveIPv4(computer.GetString());
    if (!address.empty()) target = CString(address);
  }
  return SendOneMessage(target, "r9ping", subName, MAILTYPE_USER, text);
}

int CXTMailslotClient::MaxMessageLength() { return PipeMode() ? 65536 : 398; }
