#include <xtbasis/websocket.h>

#include <atomic>
#include <cctype>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/trace.h>

#include "os/thread.h"
#include "websocket_connection.h"
#include "websocket_settings.h"

using xtb::os::NativeThread;
using xtb::ws::Connection;

struct CXTWebSocket::State {
  std::atomic<int> owners{1};  // the objects sharing this state
  std::mutex mutex;
  std::shared_ptr<Connection> connection;  // null while closed
  std::unique_ptr<NativeThread> receiver;  // null while no receive thread is out
  std::atomic<bool> releaseReceiver{false};
  bool receiverDone = false;
  DWORD receiverResult = ERROR_SUCCESS;
  std::condition_variable receiverEnded;
  CString received;
};

namespace {

constexpr char kSource[] = "XTWebSocket";

DWORD Result(DWORD error) {
  SetLastError(error);
  return error;
}

std::shared_ptr<Connection> CurrentConnection(CXTWebSocket::State& state) {
  std::lock_guard lock(state.mutex);
  return state.connection;
}

// A host name or an IP address (IPv6 with or without brackets), nothing else.
bool IsHostText(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  const bool bracketed = host.front() == '[' && host.back() == ']' && host.size() > 2;
  const std::string body = bracketed ? host.substr(1, host.size() - 2) : host;
  const bool ipv6 = body.find(':') != std::string::npos;
  if (bracketed && !ipv6) return false;
  for (unsigned char c : body) {
    const bool hex = std::isxdigit(c) != 0;
    const bool allowed = ipv6 ? (hex || c == ':' || c == '.') : (std::isalnum(c) || c == '-' || c == '.' || c == '_');
    if (!allowed || c >= 0x80) return false;
  }
  return true;
}

bool IsHeaderText(const std::string& text) {
  for (unsigned char c : text)
    if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
  return true;
}

// One Receive on `state`'s connection; `release` lets a receive thread go.
DWORD ReceiveOnce(CXTWebSocket::State& state, CString& text, const std::atomic<bool>& release) {
  const std::shared_ptr<Connection> connection = CurrentConnection(state);
  if (!connection) return Result(ERROR_INVALID_OPERATION);
  const DWORD result = connection->Receive(text, release);
  // A released receive thread ends quietly, as a stopped one would.
  if (result == ERROR_OPERATION_ABORTED) return Result(result);
  XTTrace(result == ERROR_SUCCESS ? XTTRACE_ERROR : XTTRACE_INFO, XTTRACE_PROGID_XTBASIS, kSource, __LINE__,
          "CXTWebSocket::Receive(): %d, %s", static_cast<int>(result), text.GetString());
  return Result(result);
}

}  // namespace

CXTWebSocket::CXTWebSocket() : m_state(std::make_shared<State>()) {}

CXTWebSocket::CXTWebSocket(const CXTWebSocket& other) : m_state(other.m_state) { ++m_state->owners; }

CXTWebSocket& CXTWebSocket::operator=(const CXTWebSocket& other) {
  if (m_state == other.m_state) return *this;
  if (--m_state->owners == 0) Close();
  m_state = other.m_state;
  ++m_state->owners;
  return *this;
}

CXTWebSocket::~CXTWebSocket() {
  if (--m_state->owners == 0) Close();
}

unsigned long CXTWebSocket::Open(const CString& agent, const CString& server) {
  Close();
  xtb::ws::OpenOptions options;
  options.host = std::string(server.GetString(), server.GetLength());
  options.agent = std::string(agent.GetString(), agent.GetLength());
  if (!IsHostText(options.host)) return Result(ERROR_WINHTTP_INVALID_URL);
  if (!IsHeaderText(options.agent)) return Result(ERROR_INVALID_PARAMETER);
  const xtb::ws::Settings settings = xtb::ws::ReadSettings();
  options.verify = settings.verifyServerCertificate;
  options.timeout = settings.openTimeout;
  DWORD error = ERROR_SUCCESS;
  std::unique_ptr<Connection> connection = Connection::Open(options, error);
  if (!connection) return Result(error);
  std::lock_guard lock(m_state->mutex);
  m_state->connection = std::move(connection);
  return Result(ERROR_SUCCESS);
}

unsigned long CXTWebSocket::Close() {
  State& state = *m_state;
  std::unique_ptr<NativeThread> receiver;
  std::shared_ptr<Connection> connection;
  {
    std::lock_guard lock(state.mutex);
    receiver = std::move(state.receiver);
    connection = std::move(state.connection);
    state.releaseReceiver = true;
  }
  if (connection) connection->ReleaseReceiver();
  if (receiver) receiver->Join();
  return Result(connection ? connection->Close() : ERROR_SUCCESS);
}

unsigned long CXTWebSocket::Send(const CString& text) {
  const std::shared_ptr<Connection> connection = CurrentConnection(*m_state);
  if (!connection) return Result(ERROR_INVALID_OPERATION);
  const DWORD result = connection->Send(std::string_view(text.GetString(), text.GetLength()));
  XTTrace(result == ERROR_SUCCESS ? XTTRACE_ERROR : XTTRACE_INFO, XTTRACE_PROGID_XTBASIS, kSource, __LINE__,
          "CXTWebSocket::Send(): %d, %s", static_cast<int>(result), text.GetString());
  return Result(result);
}

unsigned long CXTWebSocket::Receive(CString& text) {
  static const std::atomic<bool> kNever{false};
  return ReceiveOnce(*m_state, text, kNever);
}

bool CXTWebSocket::StartWaitReceive() {
  const std::shared_ptr<State> state = m_state;
  std::lock_guard lock(state->mutex);
  if (state->receiver) return false;
  state->receiverDone = false;
  state->releaseReceiver = false;
  auto receiver = std::make_unique<NativeThread>();
  const bool started = receiver->Start([state] {
    CString text;
    const DWORD result = ReceiveOnce(*state, text, state->releaseReceiver);
    std::lock_guard lock(state->mutex);
    state->received = std::move(text);
    state->receiverResult = result;
    state->receiverDone = true;
    state->receiverEnded.notify_all();
  });
  if (!started) return false;
  receiver->SetName("WebSocket recv");
  state->receiver = std::move(receiver);
  return true;
}

unsigned long CXTWebSocket::WaitReceive(unsigned long timeoutMs, CString& text) {
  State& state = *m_state;
  std::unique_lock lock(state.mutex);
  if (!state.receiver) return Result(ERROR_INVALID_HANDLE);
  const auto ended = [&state] { return state.receiverDone; };
  if (timeoutMs == INFINITE) {
    state.receiverEnded.wait(lock, ended);
  } else if (!state.receiverEnded.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended)) {
    return Result(ERROR_TIMEOUT);
  }
  const std::unique_ptr<NativeThread> finished = std::move(state.receiver);
  const DWORD result = state.receiverResult;
  if (result == ERROR_SUCCESS) text = state.received;
  lock.unlock();
  finished->Join();
  return result;
}

bool CXTWebSocket::StopWaitReceive() {
  State& state = *m_state;
  std::unique_ptr<NativeThread> receiver;
  std::shared_ptr<Connection> connection;
  {
    std::lock_guard lock(state.mutex);
    receiver = std::move(state.receiver);
    connection = state.connection;
    state.releaseReceiver = true;
  }
  if (connection) connection->ReleaseReceiver();
  if (receiver) receiver->Join();
  return true;
}
