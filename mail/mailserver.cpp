#include <memory>
#include <xtbasis/mailslot.h>

#include "os/localsocket.h"
#include "mailfolder.h"
#include "mailhandles.h"
#include "mailnames.h"
#include "mailtrace.h"
#include "routerwire.h"

using namespace xtb::mail;

namespace {

// A pipe-mode client that connects and writes nothing is given up after this.
constexpr int kConnectionReadTimeoutMs = 5000;

}  // namespace

CXTMailslotServer::CXTMailslotServer() : m_handle(INVALID_HANDLE_VALUE) {}

CXTMailslotServer::~CXTMailslotServer() { Close(); }

void CXTMailslotServer::UseNamedPipes() { SwitchToPipeMode(); }

bool CXTMailslotServer::Create(const CString& name, const CString& subName) {
  const bool pipe = PipeMode();
  const std::string endpoint = EndpointName(pipe, name, subName);
  std::string refusal;
  const int fd = CreateMailEndpoint(EndpointFile(endpoint),
                                 pipe ? xtb::os::SocketKind::Sequenced : xtb::os::SocketKind::Datagram, &refusal);
  m_handle = fd < 0 ? INVALID_HANDLE_VALUE : RegisterHandle(fd, Channel::LocalEndpoint);
  if (fd < 0) FailedOn(Channel::LocalEndpoint);
  // Every failed Create is traced (a live receiver holding the endpoint
  // included); when a name in the shared folder stood in the way, the
  // record says which one.
  if (m_handle == INVALID_HANDLE_VALUE)
    TraceFailure(__LINE__, std::string("CXTMailslotServer::Create: ") + (pipe ? "CreateNamedPipe" : "CreateMailslot") +
                               ": '\\\\.\\" + endpoint + "'" + (refusal.empty() ? "" : " (" + refusal + ")") + ": ");
  return m_handle != INVALID_HANDLE_VALUE;
}

bool CXTMailslotServer::Read(CString& sender, MAILTYPES& type, CString& text) {
  if (m_handle == INVALID_HANDLE_VALUE) return false;
  const bool pipe = PipeMode();
  int from = DescriptorOf(m_handle);
  int connection = -1;
  if (pipe) {
    connection = from < 0 ? -1 : xtb::os::AcceptConnection(from);
    if (connection < 0 && from >= 0) FailedOn(Channel::LocalEndpoint);
    if (connection < 0) {
      TraceFailure(__LINE__, "CXTMailslotServer::Read: ConnectNamedPipe: ");
      return false;
    }
    from = connection;
  }
  const size_t limit = pipe ? kPipeMailMax : kMailslotMailMax;
  // One buffer per reading thread, made once for the larger limit: a mail
  // costs no allocation, and nothing is cleared that the read overwrites.
  static thread_local const auto buffer = std::make_unique_for_overwrite<char[]>(kPipeMailMax + 1);
  bool result = false;
  uint32_t account = xtb::os::kUnknownAccount;
  const long length = from < 0 ? -1 : xtb::os::ReceiveMessage(from, buffer.get(), limit, &account,
                                                                    pipe ? kConnectionReadTimeoutMs : xtb::os::kWaitWithoutEnd);
  if (length < 0 && from >= 0) FailedOn(Channel::LocalConnection);
  if (length > 0) {
    buffer[static_cast<size_t>(length)] = '\0';
    // The mail ends at its first zero byte, as a C string does.
    m_from = account;
    result = DecodeMail(CString(buffer.get()), sender, type, text);
    if (!result) TraceFailure(__LINE__, "CXTMailslotServer::Read: DecodeMail fehlgeschlagen: ");
  }
  if (connection >= 0) xtb::os::CloseConnection(connection);  // one mail per connection
  return result;
}

bool CXTMailslotServer::Close() { return CloseTraced(m_handle, "CXTMailslotServer::Close: ", __LINE__); }
