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
#include <mutex>
#include <optional>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/websocket.h>

#include "websocket_errors.h"
#include "websocket_tls.h"

namespace xtb::ws {

namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;
using Stream = websocket::stream<beast::ssl_stream<beast::tcp_stream>>;

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
  // Runs `begin` (which starts an operation and calls the finish it is given
  // at the operation's end) under the time limit `limit` and waits for
  // whichever ends first. The caller holds `timedCall`.
  template <typename Begin>
  beast::error_code Run(std::chrono::milliseconds limit, Begin begin);
  // The end of the timed operation `of`; false when it had ended before
  // (or a later one has begun): the first report wins.
  bool Finish(unsigned of, beast::error_code error);
  // What an operation that ended with `error` reports; `mutex` is held.
  // Beast hands a connection's first failure to the operation that met it
  // and operation_aborted to every other one under way: those report the
  // first failure too, not a cancellation nobody asked for.
  beast::error_code Blame(beast::error_code error);
  // Runs the handlers on this thread until `ready` holds, or sleeps while
  // another thread runs them; `lock` holds `mutex`.
  template <typename Ready>
  void Drive(std::unique_lock<std::mutex>& lock, Ready ready);
  void Abort();  // on the runner: every pending operation ends
  void StartRead();
  // Ends every operation and lets their handlers run; Send and Receive are
  // refused from then on.
  void Shutdown();

  net::io_context io{1};  // one runner at a time
  net::executor_work_guard<net::io_context::executor_type> work = net::make_work_guard(io);
  net::ssl::context tls{net::ssl::context::tls_client};
  CertificatePolicy policy;
  std::optional<Stream> ws;  // made once the policy is in the context: the TLS session copies it
  tcp::resolver resolver{io};
  net::steady_timer timer{io};  // the time limit of the timed operation
  bool aborted = false;           // runner only
  std::atomic<bool> inTls{false};  // Open failed in the TLS handshake

  std::mutex timedCall;   // held through Open, Send and Close: one timed operation at a time
  std::string sendBytes;  // the message of the latest Send

  std::mutex mutex;
  std::condition_variable changed;
  bool running = false;  // a thread runs the handlers
  bool shut = false;
  // The timed operation.
  unsigned generation = 0;
  bool timedDone = false;
  beast::error_code timedError;
  // The read in flight, or finished and not yet taken.
  bool reading = false;
  bool readDone = false;
  beast::error_code readError;
  size_t readBytes = 0;
  std::array<char, kReceiveMax> buffer{};
  bool ended = false;   // the server's closing frame or a failure has been handed out
  beast::error_code failure;  // the first error an operation ended with
  bool closed = false;  // Close has begun: no operation starts any more
};

template <typename Ready>
void Connection::Impl::Drive(std::unique_lock<std::mutex>& lock, Ready ready) {
  while (!ready()) {
    if (running) {
      changed.wait(lock);
      continue;
    }
    running = true;
    lock.unlock();
    try {
      io.run_one();
    } catch (...) {  // a handler's allocation failed; the operation reports nothing more
    }
    lock.lock();
    running = false;
    changed.notify_all();  // the other thread's operation may have ended, or it takes over
  }
}

template <typename Begin>
beast::error_code Connection::Impl::Run(std::chrono::milliseconds limit, Begin begin) {
  std::unique_lock lock(mutex);
  const unsigned current = ++generation;
  timedDone = false;
  net::post(io, [this, current, limit, begin = std::move(begin)] {
    if (aborted) {
      Finish(current, net::error::operation_aborted);
      return;
    }
    timer.expires_after(limit);
    timer.async_wait([this, current](beast::error_code error) {
      if (!error && Finish(current, beast::error::timeout)) Abort();
    });
    begin([this, current](beast::error_code error) {
      if (Finish(current, error)) timer.cancel();
    });
  });
  Drive(lock, [this] { return timedDone; });
  return timedError;
}

bool Connection::Impl::Finish(unsigned of, beast::error_code error) {
  std::lock_guard lock(mutex);
  if (of != generation || timedDone) return false;
  timedDone = true;
  timedError = Blame(error);
  changed.notify_all();
  return true;
}

beast::error_code Connection::Impl::Blame(beast::error_code error) {
  if (error == net::error::operation_aborted && failure) return failure;
  if (error && !failure) failure = error;
  return error;
}

void Connection::Impl::Abort() {
  aborted = true;
  resolver.cancel();
  timer.cancel();
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

  std::lock_guard timed(timedCall);
  const beast::error_code error =
      Run(options.timeout, [this, name = LookupName(options.host), header = HostHeader(options.host)](auto finish) {
        resolver.async_resolve(name, "443", [this, finish, header](beast::error_code error,
                                                                   tcp::resolver::results_type found) {
          if (!error && aborted) error = net::error::operation_aborted;
          if (error) return finish(error);
          beast::get_lowest_layer(*ws).async_connect(found, [this, finish, header](beast::error_code error,
                                                                                   const tcp::endpoint&) {
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
    readError = Blame(error);
    readBytes = bytes;
    changed.notify_all();
  };
  if (aborted) return done(net::error::operation_aborted, 0);
  ws->async_read_some(net::buffer(buffer), done);
}

void Connection::Impl::Shutdown() {
  std::unique_lock lock(mutex);
  if (shut) return;
  shut = closed = true;
  changed.notify_all();
  net::post(io, [this] { Abort(); });
  work.reset();
  Drive(lock, [this] { return io.stopped(); });  // stops once no operation is left
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
  Impl& impl = *impl_;
  std::lock_guard timed(impl.timedCall);
  {
    std::lock_guard lock(impl.mutex);
    if (impl.ended || impl.closed) return ERROR_INVALID_OPERATION;
  }
  // The bytes are the connection's own: a write cut off by the time limit may
  // still touch them after Send has returned, and it ends the connection, so
  // no later Send writes over them.
  impl.sendBytes.assign(text);
  const beast::error_code error = impl.Run(kSendTimeout, [&impl](auto finish) {
    impl.ws->async_write(net::buffer(impl.sendBytes), [finish](beast::error_code error, size_t) { finish(error); });
  });
  if (!error) return ERROR_SUCCESS;
  std::lock_guard lock(impl.mutex);
  impl.ended = true;
  return WinErrorFromTransport(error);
}

DWORD Connection::Receive(CString& text, const std::atomic<bool>& release) {
  Impl& impl = *impl_;
  std::unique_lock lock(impl.mutex);
  if (impl.ended || impl.closed) {
    text.Empty();
    return ERROR_INVALID_OPERATION;
  }
  if (!impl.reading && !impl.readDone) {
    impl.reading = true;
    net::post(impl.io, [&impl] { impl.StartRead(); });
  }
  impl.Drive(lock, [&] { return impl.readDone || release || impl.closed; });
  if (!impl.readDone) {
    if (!impl.closed) return ERROR_OPERATION_ABORTED;
    text.Empty();
    return ERROR_INVALID_OPERATION;
  }
  impl.readDone = false;
  text.Empty();
  if (impl.readError) {
    impl.ended = true;
    return impl.readError == websocket::error::closed ? ERROR_SUCCESS : WinErrorFromTransport(impl.readError);
  }
  text.Append(impl.buffer.data(), static_cast<int>(impl.readBytes));
  return ERROR_SUCCESS;
}

void Connection::ReleaseReceiver() {
  {
    std::lock_guard lock(impl_->mutex);  // a waiter tests its flag under this lock: no wake-up is lost
    impl_->changed.notify_all();
  }
  net::post(impl_->io, [] {});  // and a runner returns from its wait for the network
}

DWORD Connection::Close() {
  Impl& impl = *impl_;
  std::lock_guard timed(impl.timedCall);
  {
    std::lock_guard lock(impl.mutex);
    if (impl.closed) return ERROR_SUCCESS;
    impl.closed = true;
    impl.changed.notify_all();
  }
  const beast::error_code error = impl.Run(kCloseTimeout, [&impl](auto finish) {
    impl.ws->async_close(websocket::close_code::normal, finish);
  });
  impl.Shutdown();
  bool ended;
  {
    std::lock_guard lock(impl.mutex);
    ended = impl.ended || impl.readError == websocket::error::closed;
  }
  if (ended || error == websocket::error::closed) return ERROR_SUCCESS;
  return WinErrorFromTransport(error);
}

}  // namespace xtb::ws
