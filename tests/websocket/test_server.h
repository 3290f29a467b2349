// The TLS WebSocket server of the tests and the benchmark:
// tests/websocket/ws_server.py on port 443 of the loopback interface, run by
// Debian's python3 (with python3-websockets).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

class TestServer {
 public:
  TestServer() = default;
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;
  ~TestServer() { Stop(); }

  // Starts the server and waits for its "ready"; false when it failed.
  bool Start(const std::vector<std::string>& arguments) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return false;
    std::vector<std::string> words = {"/usr/bin/python3", XTB_SOURCE_DIR "/tests/websocket/ws_server.py"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    pid_ = fork();
    if (pid_ == 0) {
      // A test program that is ended (by a test's watchdog, say) takes its server along.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      dup2(out[1], 1);
      std::vector<char*> argv;
      for (auto& word : words) argv.push_back(word.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    output_ = out[0];
    first_ = pid_ > 0 ? NextLine(std::chrono::seconds(20)) : "";
    return first_ == "ready";
  }
  // What the server said instead of "ready" (its error), for the failure message.
  std::string Failure() const { return first_.empty() ? "no answer within 20 s" : first_; }
  // The next line the server prints, empty after `wait`.
  std::string NextLine(std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
      if (const auto newline = pending_.find('\n'); newline != std::string::npos) {
        std::string line = pending_.substr(0, newline);
        pending_.erase(0, newline + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      pollfd entry{output_, POLLIN, 0};
      if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) return "";
      char buffer[256];
      const ssize_t n = read(output_, buffer, sizeof buffer);
      if (n <= 0) return "";
      pending_.append(buffer, static_cast<size_t>(n));
    }
  }
  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (output_ >= 0) close(output_);
    output_ = -1;
    pending_.clear();  // what this server said is not the next one's
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
  std::string first_;
};
