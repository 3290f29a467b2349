#include "websocket_connection.h"

#include <array>
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/websocket.h>

#include "os/thread.h"
#include "websocket_errors.h"
#include "websocket_tls.h"

namespace xtb::ws {

namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;
using Stream = websocket::stream<beast::ssl_stream<beast::tcp_stream>>;
using Finish = std::function<void(beast::error_code)>;

// The end of one operation that a caller waits for; the first report wins
// (the operation's own, or its time limit's).
class Outcome {
 public:
  bool Report(beast::error_code error) {
    std::lock_guard lock(mutex_);
    if (done_) return false;
    done_ = true;
    error_ = error;
    finished_.notify_all();
    return true;
  }
  beast::error_code Wait() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return done_; });
    return error_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  beast::error_code error_;
};

// "[::1]" and "::1" are looked up as ::1 and sent as "[::1]" in the Host header.
std::string LookupName(const std::string& host) {
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
  return host;
}
std::string HostHeader(const std::string& host) {
  const std::string name = LookupName(host);
  return name.find(':') == std::string::npos ? name : "[" + name + "]";
}

}  // namespace

struct Connection::Impl {
  explicit Impl(bool verify) : policy(verify) {}
  ~Impl() { Shutdown(); }

  DWORD Start(const OpenOptions& options);
  beast::error_code Run(std::chrono::milliseconds limit, std::function<void(Finish)> start);
  void Abort();  // on the I/O thread: every pending operation ends
  void StartRead();
  void Shutdown();

  net::io_context io{1};
  net::executor_work_guard<net::io_context::executor_type> work = net::make_work_guard(io);
  net::ssl::context tls{net::ssl::context::tls_client};
  CertificatePolicy policy;
  std::optional<Stream> ws;  // made once the policy is in the context: the TLS session copies it
  tcp::resolver resolver{io};
  xtb::os::NativeThread thread;
  bool aborted = false;  // I/O thread only
  std::atomic<bool> inTls{false};  // Open failed in the TLS handshake

  // The read in flight, or finished and not yet taken.
  std::mutex mutex;
  std::condition_variable changed;
  bool reading = false;
  bool readDone = false;
  beast::error_code readError;
  size_t readBytes = 0;
  std::array<char, kReceiveMax> buffer{};
  bool ended = false;       // the server's closing frame or a failure has been handed out
  bool closed = false;      // Close has begun: no operation starts any more
};

beast::error_code Connection::Impl::Run(std::chrono::milliseconds limit, std::function<void(Finish)> start) {
  auto outcome = std::make_shared<Outcome>();
  net::post(io, [this, outcome, limit, start = std::move(start)] {
    auto timer = std::make_shared<net::steady_timer>(io, limit);
    timer->async_wait([this, outcome, timer](beast::error_code error) {
      if (!error && outcome->Report(beast::error::timeout)) Abort();
    });
    if (aborted) {
      timer->cancel();
      outcome->Report(net::error::operation_aborted);
      return;
    }
    start([outcome, timer](beast::error_code error) {
      timer->cancel();
      outcome->Report(error);
    });
  });
  return outcome->Wait();
}

void Connection::Impl::Abort() {
  aborted = true;
  resolver.cancel();
  if (ws) beast::get_lowest_layer(*ws).close();
}

DWORD Connection::Impl::Start(const OpenOptions& options) {
  if (!policy.Install(tls.native_handle())) return ERROR_WINHTTP_SECURE_FAILURE;
  ws.emplace(io, tls);
  if (!CertificatePolicy::PrepareConnection(ws->next_layer().native_handle(), LookupName(options.host)))
    return ERROR_WINHTTP_INVALID_URL;
  ws->set_option(websocket::stream_base::decorator([agent = options.agent](websocket::request_type& request) {
    request.set(beast::http::field::user_agent, agent);
  }));
  ws->auto_fragment(false);  // one message, one frame
  ws->text(true);
  const bool started = thread.Start([this] {
    for (;;) {
      try {
        io.run();
        return;
      } catch (...) {  // a handler's allocation failed; the operation reports nothing more
      }
    }
  });
  if (!started) return GetLastError();
  thread.SetName("WebSocket I/O");

  const beast::error_code error =
      Run(options.timeout, [this, name = LookupName(options.host), header = HostHeader(options.host)](
                               Finish finish) {
        resolver.async_resolve(name, "443", [this, finish, header](beast::error_code error,
                                                                              tcp::resolver::results_type found) {
          if (!error && aborted) error = net::error::operation_aborted;
          if (error) return finish(error);
          beast::get_lowest_layer(*ws).async_connect(found, [this, finish, header](
                                                                beast::error_code error, const tcp::endpoint&) {
            if (error) return finish(error);
            inTls = true;
            ws->next_layer().async_handshake(net::ssl::stream_base::client, [this, finish,
                                                                              header](beast::error_code error) {
              if (error) return finish(error);
              inTls = false;
              ws->async_handshake(header, "/", finish);
            });
          });
        });
      });
  if (!error) return ERROR_SUCCESS;
  if (error == beast::error::timeout) return ERROR_WINHTTP_TIMEOUT;
  if (policy.Refusal() != X509_V_OK) return WinErrorFromCertificate(policy.Refusal());
  if (inTls) return ERROR_WINHTTP_SECURE_FAILURE;  // no TLS there, or none we share
  return WinErrorFromTransport(error);
}

void Connection::Impl::StartRead() {
  auto done = [this](beast::error_code error, size_t bytes) {
    std::lock_guard lock(mutex);
    reading = false;
    readDone = true;
    readError = error;
    readBytes = bytes;
    changed.notify_all();
  };
  if (aborted) return done(net::error::operation_aborted, 0);
  ws->async_read_some(net::buffer(buffer), done);
}

void Connection::Impl::Shutdown() {
  if (!thread.InThisProcess()) return;  // never started, or started by the parent of a fork
  net::post(io, [this] { Abort(); });
  work.reset();
  thread.Join();
}

Connection::Connection(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Connection::~Connection() = default;

std::unique_ptr<Connection> Connection::Open(const OpenOptions& options, DWORD& error) {
  auto impl = std::make_unique<Impl>(options.verify);
  error = impl->Start(options);
  if (error != ERROR_SUCCESS) return nullptr;
  return std::unique_ptr<Connection>(new Connection(std::move(impl)));
}

DWORD Connection::Send(std::string_view text) {
  {
    std::lock_guard lock(impl_->mutex);
    if (impl_->ended || impl_->closed) return ERROR_INVALID_OPERATION;
  }
  // The bytes are the operation's own: a write cut off by the time limit may
  // still touch them after Send has returned.
  auto bytes = std::make_shared<std::string>(text);
  const beast::error_code error = impl_->Run(kSendTimeout, [this, bytes](Finish finish) {
    impl_->ws->async_write(net::buffer(*bytes), [bytes, finish](beast::error_code error, size_t) { finish(error); });
  });
  if (!error) return ERROR_SUCCESS;
  std::lock_guard lock(impl_->mutex);
  impl_->ended = true;
  return WinErrorFromTransport(error);
}

DWORD Connection::Receive(std::string& text, const std::atomic<bool>& release) {
  std::unique_lock lock(impl_->mutex);
  if (impl_->ended || impl_->closed) return ERROR_INVALID_OPERATION;
  if (!impl_->reading && !impl_->readDone) {
    impl_->reading = true;
    net::post(impl_->io, [impl = impl_.get()] { impl->StartRead(); });
  }
  impl_->changed.wait(lock, [&] { return impl_->readDone || release || impl_->closed; });
  if (!impl_->readDone) return impl_->closed ? ERROR_INVALID_OPERATION : ERROR_OPERATION_ABORTED;
  impl_->readDone = false;
  text.clear();
  if (impl_->readError) {
    impl_->ended = true;
    return impl_->readError == websocket::error::closed ? ERROR_SUCCESS : WinErrorFromTransport(impl_->readError);
  }
  text.assign(impl_->buffer.data(), impl_->readBytes);
  return ERROR_SUCCESS;
}

void Connection::ReleaseReceiver() {
  std::lock_guard lock(impl_->mutex);  // a waiter tests its flag under this lock: no wake-up is lost
  impl_->changed.notify_all();
}

DWORD Connection::Close() {
  {
    std::lock_guard lock(impl_->mutex);
    if (impl_->closed) return ERROR_SUCCESS;
    impl_->closed = true;
    impl_->changed.notify_all();
  }
  const beast::error_code error = impl_->Run(kCloseTimeout, [this](Finish finish) {
    impl_->ws->async_close(websocket::close_code::normal, finish);
  });
  impl_->Shutdown();
  bool ended;
  {
    std::lock_guard lock(impl_->mutex);
    ended = impl_->ended || impl_->readError == websocket::error::closed;
  }
  if (ended || error == websocket::error::closed) return ERROR_SUCCESS;
  return WinErrorFromTransport(error);
}

}  // namespace xtb::ws
