// The WebSocket client: one echo round trip (Send, then Receive of the
// answer) of a 100-byte text message, against a plain single-threaded Beast
// client doing the same over its own connection to the same server (the
// tests' python3-websockets echo server on port 443 of the loopback
// interface; needs root for the port).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <xtbasis/websocket.h>

#include "peer_ratio.h"
#include "test_server.h"

namespace {

namespace net = boost::asio;
namespace beast = boost::beast;

const std::string kMessage(100, 'm');

struct Setup {
  Setup() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-bench-ws-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir = pattern;
    setenv("XTBASIS_REGISTRY_DIR", (dir + "/hives").c_str(), 1);
    const std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes"
                                " -subj /CN=localhost -days 1 -keyout '" + dir + "/key.pem' -out '" + dir +
                                "/cert.pem' 2>/dev/null";
    ready = std::system(command.c_str()) == 0 &&
            server.Start({"--host", "localhost", "--cert", dir + "/cert.pem", "--key", dir + "/key.pem"});
    if (!ready) std::fprintf(stderr, "the echo server could not start on port 443: %s\n", server.Failure().c_str());
  }
  ~Setup() {
    server.Stop();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string dir;
  TestServer server;
  bool ready = false;
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void BM_CXTWebSocketRoundTrip(benchmark::State& state) {
  if (!Shared().ready) return state.SkipWithError("no server");
  CXTWebSocket ws;
  if (ws.Open("bench", "localhost") != 0) return state.SkipWithError("Open failed");
  const CString message(kMessage);
  CString answer;
  for (auto _ : state) {
    if (ws.Send(message) != 0 || ws.Receive(answer) != 0) return state.SkipWithError("round trip failed");
  }
  ws.Close();
}

void BM_BeastRoundTrip(benchmark::State& state) {
  if (!Shared().ready) return state.SkipWithError("no server");
  net::io_context io;
  net::ssl::context tls(net::ssl::context::tls_client);
  tls.set_verify_mode(net::ssl::verify_none);
  beast::websocket::stream<beast::ssl_stream<beast::tcp_stream>> ws(io, tls);
  net::ip::tcp::resolver resolver(io);
  beast::get_lowest_layer(ws).connect(resolver.resolve("localhost", "443"));
  ws.next_layer().handshake(net::ssl::stream_base::client);
  ws.handshake("localhost", "/");
  ws.text(true);
  ws.auto_fragment(false);
  char answer[1000];
  for (auto _ : state) {
    ws.write(net::buffer(kMessage));
    benchmark::DoNotOptimize(ws.read_some(net::buffer(answer)));
  }
  ws.close(beast::websocket::close_code::normal);
}

BENCHMARK(BM_CXTWebSocketRoundTrip)->UseRealTime();
BENCHMARK(BM_BeastRoundTrip)->UseRealTime();

// The client mostly waits, so the ratio is of real time.
const xtbbench::Ratio kRatio("BM_CXTWebSocketRoundTrip", "BM_BeastRoundTrip",
                             "echo round trip, CXTWebSocket / plain Beast client", xtbbench::Clock::Wall, 0.9);

}  // namespace
