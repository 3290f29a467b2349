// A test's own folder, registry, trace file and TLS WebSocket server.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

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
#include "test_server.h"
#include "tracesettings.h"

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
    setenv("XTBASIS_CRYPTO_DIR", (dir_ / "crypto").c_str(), 1);
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
    unsetenv("XTBASIS_CRYPTO_DIR");
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
        << "the test server did not start on port 443: " << server_.Failure();
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
  // The library's certificate store "Root".
  std::filesystem::path RootStore() const { return dir_ / "crypto" / "machine" / "certs" / "Root"; }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string TraceText() const {
    std::ifstream in(Path("r9trace.log"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
  TestSysBase sysBase_;
  TestServer server_;
};

// The bytes the server's "big N" sends and its "sink" expects.
inline std::string Pattern(size_t n) {
  std::string text(n, ' ');
  for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

// Milliseconds since `start`.
inline long long ElapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}
