#include <chrono>
#include <cstring>
#include <string>
#include <xtbasis/mailslot.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/session.h>

#include "os/localsocket.h"
#include "os/netsocket.h"
#include "mailclock.h"
#include "mailfolder.h"
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
  uint64_t value = NextMailClock() % kSevenDigits;
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

// Sends `request` on a new pipe-mode connection to a router and reads the
// router's answer to the endpoint it names: the connection, or -1 with the
// router's status (or the network's error) as the last error.
int OpenRouterStream(const xtb::os::NetAddress& router, const std::string& request) {
  const int fd = xtb::os::TcpConnect(router, kSendTimeoutMs);
  if (fd < 0) return FailedOn(Channel::NetworkStream), -1;
  char status[4];
  const bool answered = xtb::os::SendAll(fd, request.data(), request.size()) && xtb::os::ReceiveAll(fd, status, 4);
  if (answered && GetStatus(status) == 0) return fd;
  xtb::os::CloseSocket(fd);
  if (answered) SetLastError(GetStatus(status));
  return answered ? -1 : (FailedOn(Channel::NetworkStream), -1);
}

// The router's answer to the mail sent on `fd`: true when it was delivered,
// else false with the router's status (or the network's error) as the last
// error.
bool RouterDelivered(int fd) {
  char status[4];
  if (!xtb::os::ReceiveAll(fd, status, 4)) return FailedOn(Channel::NetworkStream);
  if (GetStatus(status) == 0) return true;
  SetLastError(GetStatus(status));
  return false;
}

// The mail on the wire: sender|id|type|text, cut to the limit in mailslot mode.
std::string FormMail(const CString& sender, const MAILTYPES& type, const CString& text, bool pipe) {
  const std::string id = MailId();
  const char* typeName = TypeName(type);
  std::string mail;
  mail.reserve(static_cast<size_t>(sender.GetLength()) + id.size() + std::strlen(typeName) +
               static_cast<size_t>(text.GetLength()) + 3);
  mail.append(sender.GetString(), static_cast<size_t>(sender.GetLength()));
  mail += '|';
  mail += id;
  mail += '|';
  mail += typeName;
  mail += '|';
  mail.append(text.GetString(), static_cast<size_t>(text.GetLength()));
  if (!pipe && mail.size() > kMailslotMailMax) mail.replace(kMailslotMailMax - 3, std::string::npos, "...");
  return mail;
}

// A mail as a pipe-mode connection carries it: its length, then the mail.
std::string StreamFrame(const std::string& mail) {
  char header[4];
  PutStatus(static_cast<uint32_t>(mail.size()), header);
  return std::string(header, 4) + mail;
}

// Writes `mail` to an endpoint of this computer, waiting a bounded time for
// a receiver that takes no mail.
bool WriteHere(int fd, const std::string& mail) {
  return xtb::os::SendMessage(fd, mail.data(), mail.size(), kSendTimeoutMs) || FailedOn(Channel::LocalConnection);
}

// Connects to the endpoint file `file` of this computer. A pipe-mode
// receiver whose queue is full is most often one that reads, only behind a
// burst: an attempt waits for room as long as the pause after a failed one
// would last, and only then counts as failed.
int ConnectHere(const std::string& file, bool pipe) {
  return pipe ? ConnectMailEndpoint(file, xtb::os::SocketKind::Sequenced, static_cast<int>(kPipeRetryMs))
              : ConnectMailEndpoint(file, xtb::os::SocketKind::Datagram);
}

// Opens the endpoint once; the handle, or INVALID_HANDLE_VALUE.
HANDLE OpenOnce(const std::string& computer, const std::string& endpoint, bool pipe) {
  if (IsThisComputer(computer)) {
    const int fd = ConnectHere(EndpointFile(endpoint), pipe);
    if (fd < 0) return FailedOn(Channel::LocalConnection), INVALID_HANDLE_VALUE;
    return RegisterHandle(fd, Channel::LocalConnection);
  }
  const Channel channel = pipe ? Channel::NetworkStream : Channel::NetworkDatagram;
  xtb::os::NetAddress router;
  if (!xtb::os::Resolve(computer, RouterPort(), router)) return FailedOn(channel), INVALID_HANDLE_VALUE;
  if (pipe) {
    const int fd = OpenRouterStream(router, endpoint + '\0');
    return fd < 0 ? INVALID_HANDLE_VALUE : RegisterHandle(fd, channel);
  }
  const int fd = xtb::os::UdpConnect(router);
  if (fd < 0) return FailedOn(channel), INVALID_HANDLE_VALUE;
  return RegisterHandle(fd, channel);
}

// Runs `attempt` as Open does: once in mailslot mode, in pipe mode up to five
// times with a pause after each failure; the Open trace when none worked.
template <typename Attempt>
bool WithOpenAttempts(bool pipe, const std::string& place, const std::string& endpoint, Attempt attempt) {
  for (int round = 1; round <= (pipe ? kPipeAttempts : 1); ++round) {
    const auto start = std::chrono::steady_clock::now();
    if (attempt()) return true;
    if (pipe) {
      // An attempt that waited for room in a full queue has spent that
      // much of its pause already: the attempts keep their one-second pace.
      const DWORD error = GetLastError();
      const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
      if (spent.count() < static_cast<long long>(kPipeRetryMs))
        Sleep(kPipeRetryMs - static_cast<DWORD>(spent.count()));
      SetLastError(error);
    }
  }
  TraceFailure(__LINE__, "CXTMailslotClient::Open: CreateFile: '\\\\" + place + "\\" + endpoint + "' :");
  return false;
}

// SendOneMessage in pipe mode to another computer: the endpoint and the mail
// go to the router at once, and both answers are read after. The router
// answers the endpoint before it takes the mail, so the sender learns what
// Open and Write would tell it (with their attempts and traces) in one round
// trip instead of two.
bool SendThroughRouter(const std::string& place, const std::string& endpoint, const CString& sender,
                       const MAILTYPES& type, const CString& text) {
  // Formed once: a mail that the router delivered but did not confirm in
  // time goes again with the same id, and the receiver drops the repeat.
  const std::string request = endpoint + '\0' + StreamFrame(FormMail(sender, type, text, true));
  int fd = -1;
  const bool opened = WithOpenAttempts(true, place, endpoint, [&] {
    xtb::os::NetAddress router;
    if (!xtb::os::Resolve(place, RouterPort(), router)) return FailedOn(Channel::NetworkStream);
    fd = OpenRouterStream(router, request);
    return fd >= 0;
  });
  if (!opened) return false;
  const bool delivered = RouterDelivered(fd);
  if (!delivered) TraceFailure(__LINE__, "CXTMailslotClient::Write: ");
  xtb::os::CloseSocket(fd);
  return delivered;
}

// SendOneMessage to an endpoint of this computer: Open, Write and Close
// with their attempts, traces and results, on the connection itself rather
// than on a handle that nobody else gets to see.
bool SendHere(bool pipe, const std::string& place, const std::string& endpoint, const CString& sender,
              const MAILTYPES& type, const CString& text) {
  const std::string file = EndpointFile(endpoint);
  if (!pipe) {
    // A datagram goes on the connection kept for the endpoint: Open is
    // reaching the endpoint, Write the send, and Close has nothing to close.
    bool written = false;
    if (!WithOpenAttempts(false, place, endpoint, [&] {
          bool reached = false;
          written = SendMailDatagram(file, FormMail(sender, type, text, false), kSendTimeoutMs, reached);
          return written || (!FailedOn(Channel::LocalConnection) && reached);
        }))
      return false;
    if (!written) TraceFailure(__LINE__, "CXTMailslotClient::Write: ");
    return written;
  }
  // Formed before the connect, so that nothing stands between it and the
  // send that a receiver waiting on the connection would have to wait for.
  const std::string mail = FormMail(sender, type, text, pipe);
  int fd = -1;
  if (!WithOpenAttempts(pipe, place, endpoint, [&] {
        fd = ConnectHere(file, pipe);
        return fd >= 0 || FailedOn(Channel::LocalConnection);
      }))
    return false;
  const bool written = WriteHere(fd, mail);
  if (!written) TraceFailure(__LINE__, "CXTMailslotClient::Write: ");
  const bool closed = xtb::os::CloseConnection(fd) || FailedOn(Channel::LocalConnection);
  if (!closed) TraceFailure(__LINE__, "CXTMailslotClient::Close: ");
  return written && closed;
}

}  // namespace

CXTMailslotClient::CXTMailslotClient() : m_handle(INVALID_HANDLE_VALUE) {}

CXTMailslotClient::~CXTMailslotClient() { Close(); }

bool CXTMailslotClient::Open(const CString& computer, const CString& name, const CString& subName) {
  const bool pipe = PipeMode();
  const std::string endpoint = EndpointName(pipe, name, subName);
  const std::string place(computer.GetString(), static_cast<size_t>(computer.GetLength()));
  if (!WithOpenAttempts(pipe, place, endpoint, [&] {
        m_handle = OpenOnce(place, endpoint, pipe);
        return m_handle != INVALID_HANDLE_VALUE;
      }))
    return false;
  m_route = CString(endpoint);
  Channel channel;
  const int fd = DescriptorOf(m_handle, &channel);
  // A write waits a bounded time for a router that takes no mail (and for a
  // receiver here: WriteHere).
  if (channel == Channel::NetworkStream && !xtb::os::SetSendTimeout(fd, kSendTimeoutMs) && !FailedOn(channel)) {
    TraceFailure(__LINE__, "CXTMailslotClient::Open: SetNamedPipeHandleState: ");
    CloseHandleOf(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    return false;
  }
  return true;
}

bool CXTMailslotClient::Write(const CString& sender, const MAILTYPES& type, const CString& text) {
  const std::string mail = FormMail(sender, type, text, PipeMode());
  Channel channel;
  const int fd = DescriptorOf(m_handle, &channel);
  bool written = false;
  if (fd >= 0) {
    switch (channel) {
      case Channel::NetworkDatagram: {
        const std::string packet = MakeDatagram(std::string_view(m_route.GetString(), m_route.GetLength()), mail);
        written = xtb::os::SendDatagram(fd, packet.data(), packet.size()) || FailedOn(channel);
        break;
      }
      case Channel::NetworkStream: {
        const std::string frame = StreamFrame(mail);
        written = (xtb::os::SendAll(fd, frame.data(), frame.size()) || FailedOn(channel)) && RouterDelivered(fd);
        break;
      }
      default:
        written = WriteHere(fd, mail);
    }
  }
  if (!written) TraceFailure(__LINE__, "CXTMailslotClient::Write: ");
  return written;
}

bool CXTMailslotClient::Close() { return CloseTraced(m_handle, "CXTMailslotClient::Close: ", __LINE__); }

bool CXTMailslotClient::SendOneMessage(const CString& computer, const CString& name, const CString& subName,
                                       const MAILTYPES& type, const CString& text) {
  const std::string place(computer.GetString(), static_cast<size_t>(computer.GetLength()));
  // The sender is the machine the user sits at.
  const CString sender(xtb::RemoteClientName());
  const bool pipe = PipeMode();
  if (IsThisComputer(place)) return SendHere(pipe, place, EndpointName(pipe, name, subName), sender, type, text);
  if (pipe) return SendThroughRouter(place, EndpointName(true, name, subName), sender, type, text);
  CXTMailslotClient client;
  return client.Open(computer, name, subName) && client.Write(sender, type, text) && client.Close();
}

bool CXTMailslotClient::SendR9UserMessage(const CString& computer, const CString& subName, const CString& text) {
  CString target = computer;
  if (PipeMode()) {
    const std::string address = xtb::os::ResolveIPv4(computer.GetString());
    if (!address.empty()) target = CString(address);
  }
  return SendOneMessage(target, "r9ping", subName, MAILTYPE_USER, text);
}

int CXTMailslotClient::MaxMessageLength() { return PipeMode() ? 65536 : 398; }
