// xtbasis ws HOST: a WebSocket session with HOST (TLS, port 443, path "/")
// for support staff. Each line of standard input goes out as one message;
// each piece that arrives (at most 1000 bytes) is printed on a line of its
// own. Ends once standard input has ended and for 2 s nothing was sent and
// nothing arrived, or when the server closes (exit code 0), or on an error
// (exit code 1).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include <xtbasis/errortext.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/websocket.h>

#include "command.h"

namespace {

using Clock = std::chrono::steady_clock;

int Fail(const char* what, unsigned long error) {
  std::fprintf(stderr, "xtbasis ws: %s: %lu %s\n", what, error, xtbtool::ErrorLine(error).c_str());
  return 1;
}

// Standard input, a line at a time, read on a thread of its own so that
// arrivals are printed while the user types.
class InputLines {
 public:
  InputLines() {
    std::thread([this] {
      for (std::string line; std::getline(std::cin, line);) {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
      }
      ended_ = true;
    }).detach();  // may sit in a read until the process ends
  }
  bool Next(std::string& line) {
    std::lock_guard lock(mutex_);
    if (lines_.empty()) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    return true;
  }
  bool Ended() const { return ended_; }

 private:
  std::mutex mutex_;
  std::deque<std::string> lines_;
  std::atomic<bool> ended_{false};
};

int Run(const xtbtool::Args& args) {
  if (args.size() != 1) return xtbtool::UsageError("ws", "needs one HOST");
  CXTWebSocket ws;
  if (const unsigned long error = ws.Open("xtbasis ws", args[0].c_str()); error != 0) return Fail("Open", error);
  static auto* const input = new InputLines;  // the reading thread keeps using it until the process ends
  auto quiet = Clock::now();
  bool receiving = false;
  for (;;) {
    for (std::string line; input->Next(line);) {
      if (const unsigned long error = ws.Send(line.c_str()); error != 0) return Fail("Send", error);
      quiet = Clock::now();  // the answer to this line is still to come
    }
    if (!receiving && !(receiving = ws.StartWaitReceive())) return Fail("StartWaitReceive", GetLastError());
    CString text;
    const unsigned long result = ws.WaitReceive(50, text);
    if (result == ERROR_TIMEOUT) {
      if (input->Ended() && Clock::now() - quiet > std::chrono::seconds(2)) break;
      continue;
    }
    receiving = false;
    if (result == ERROR_INVALID_OPERATION) {
      std::fprintf(stderr, "xtbasis ws: the server has closed the connection\n");
      return 0;
    }
    if (result != 0) return Fail("Receive", result);
    std::fwrite(text.GetString(), 1, static_cast<size_t>(text.GetLength()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    quiet = Clock::now();
  }
  if (const unsigned long error = ws.Close(); error != 0) return Fail("Close", error);
  return 0;
}

const xtbtool::Registration registration({"ws", "WebSocket session with HOST: stdin lines out, arrivals printed", "xtbasis ws HOST", Run});

}  // namespace
