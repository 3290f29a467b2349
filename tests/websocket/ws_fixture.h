// A test's own folder, registry, trace file and TLS WebSocket server: the
// server is tests/websocket/ws_server.py on port 443 of the loopback
// interface, run by Debian's python3.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>
#include <xtbasis/websocket.h>

#include "test_certificates.h"
#include "tracesettings.h"

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
      dup2(out[1], 1);
      std::vector<char*> argv;
      for (auto& word : words) argv.push_back(word.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    output_ = out[0];
    return pid_ > 0 && NextLine(std::chrono::seconds(20)) == "ready";
  }
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
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
};

class TestSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return "SOFTWARE\\XTWebSocketTest"; }
};

class WebSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-ws-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    setenv("XTBASIS_REGISTRY_DIR", (dir_ / "hives").c_str(), 1);
    sysBase_.LogDir = CString(dir_.string() + "/");
    xtb::ProcessTraceSettings().Reset();
    gp_XTSysBase = &sysBase_;
    SetXTTraceLevel(3);
  }
  void TearDown() override {
    server_.Stop();
    gp_XTSysBase = nullptr;
    xtb::ProcessTraceSettings().Reset();
    xtb::CloseRegistryHives();
    unsetenv("XTBASIS_REGISTRY_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Starts the server with `certificate` (and its chain) in `mode`.
  void Serve(const IssuedCertificate& certificate, const std::string& mode = "websocket",
             const std::string& host = "localhost", const std::string& chain = "") {
    const std::string cert = Path("server.pem"), key = Path("server.key");
    WriteFile(cert, certificate.certificatePem + chain);
    WriteFile(key, certificate.keyPem);
    ASSERT_TRUE(server_.Start({"--mode", mode, "--host", host, "--cert", cert, "--key", key}))
        << "the test server did not start on port 443";
  }
  void Serve(const std::string& mode = "websocket") { Serve(MakeCertificate({}), mode); }

  // HKEY_LOCAL_MACHINE\SOFTWARE\Vantorix\XTBasis\WebSocket
  static void SetSetting(const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantorix\\XTBasis\\WebSocket", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  // The library's "Root" store: beside the machine hive.
  std::filesystem::path RootStore() const { return dir_ / "hives" / "Root"; }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string TraceText() const {
    std::ifstream in(Path("r9trace.log"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
  TestSysBase sysBase_;
  TestServer server_;
};

// Milliseconds since `start`.
inline long long ElapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}
