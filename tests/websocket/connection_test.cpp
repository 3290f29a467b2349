// Open: certificates as the installation's setting asks, and servers that
// are no TLS WebSocket servers.
#include "ws_fixture.h"

namespace {

using std::chrono::steady_clock;

TEST_F(WebSocketTest, CertificateProblemsAreAcceptedByDefaultAndRefusedWhenVerified) {
  // Issued by a root of the library's store, so that each case has one problem only.
  const IssuedCertificate root = MakeSuiteRoot("Praxis Root");
  std::filesystem::create_directories(RootStore());
  WriteFile((RootStore() / "root.pem").string(), root.certificatePem);
  struct Case {
    const char* what;
    CertificateRequest request;
    bool selfSigned;
    unsigned long verifiedResult;
  };
  const Case cases[] = {
      {"wrong name", {"praxis.example", {"DNS:praxis.example"}}, false, ERROR_WINHTTP_SECURE_CERT_CN_INVALID},
      {"expired", {"localhost", {"DNS:localhost"}, -30, -1}, false, ERROR_WINHTTP_SECURE_CERT_DATE_INVALID},
      {"not yet valid", {"localhost", {"DNS:localhost"}, 2, 30}, false, ERROR_WINHTTP_SECURE_CERT_DATE_INVALID},
      {"unknown issuer", {}, true, ERROR_WINHTTP_SECURE_INVALID_CA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Serve(c.selfSigned ? MakeCertificate(c.request) : MakeCertificate(c.request, &root));
    CXTWebSocket ws;
    EXPECT_EQ(ws.Open("test", "localhost"), 0u);
    ws.Close();
    SetSetting("VerifyServerCertificate", 1);
    EXPECT_EQ(ws.Open("test", "localhost"), c.verifiedResult);
    EXPECT_EQ(GetLastError(), c.verifiedResult);
    EXPECT_EQ(ws.Send("x"), 4317u);  // a failed Open leaves the object closed
    SetSetting("VerifyServerCertificate", 0);
    server_.Stop();
  }
}

TEST_F(WebSocketTest, VerifiedOpenTrustsTheLibrarysRootStore) {
  const IssuedCertificate root = MakeSuiteRoot("Praxis Root");
  const IssuedCertificate leaf = MakeCertificate({}, &root);
  SetSetting("VerifyServerCertificate", 1);
  Serve(leaf);
  CXTWebSocket ws;
  EXPECT_EQ(ws.Open("test", "localhost"), static_cast<unsigned long>(ERROR_WINHTTP_SECURE_INVALID_CA));
  // A link planted in the store is no root, even when it names a root.
  WriteFile((dir_ / "elsewhere.pem").string(), root.certificatePem);
  std::filesystem::create_directories(RootStore());
  std::filesystem::create_symlink(dir_ / "elsewhere.pem", RootStore() / "planted.pem");
  EXPECT_EQ(ws.Open("test", "localhost"), static_cast<unsigned long>(ERROR_WINHTTP_SECURE_INVALID_CA));
  WriteFile((RootStore() / "praxis-root.pem").string(), root.certificatePem);
  ASSERT_EQ(ws.Open("test", "localhost"), 0u);
  ASSERT_EQ(ws.Send("trusted"), 0u);
  CString text;
  ASSERT_EQ(ws.Receive(text), 0u);
  EXPECT_EQ(text, "trusted");
  ws.Close();
  // An address is checked against the certificate's addresses.
  EXPECT_EQ(ws.Open("test", "127.0.0.1"), 0u);
  ws.Close();
  server_.Stop();
  // The root's name on another key is no root.
  const IssuedCertificate forged = MakeCertificate({}, &root, /*brokenSignature=*/true);
  Serve(forged);
  EXPECT_NE(ws.Open("test", "localhost"), 0u);
}

TEST_F(WebSocketTest, ABrokenSignatureIsRefusedEvenByDefault) {
  const IssuedCertificate root = MakeSuiteRoot("Praxis Root");
  const IssuedCertificate forged = MakeCertificate({}, &root, /*brokenSignature=*/true);
  Serve(forged, "websocket", "localhost", root.certificatePem);  // the server sends the chain
  CXTWebSocket ws;
  EXPECT_EQ(ws.Open("test", "localhost"), static_cast<unsigned long>(ERROR_WINHTTP_SECURE_INVALID_CERT));
}

TEST_F(WebSocketTest, ServersThatAreNoTlsWebSocketServersAreRefusedInTime) {
  SetSetting("OpenTimeout", 1500);
  struct Case {
    const char* mode;
    unsigned long result;
  };
  for (const Case& c : {Case{"plain", ERROR_WINHTTP_SECURE_FAILURE}, Case{"silent", ERROR_WINHTTP_TIMEOUT},
                        Case{"refuse", ERROR_WINHTTP_INVALID_SERVER_RESPONSE}}) {
    SCOPED_TRACE(c.mode);
    Serve(MakeCertificate({}), c.mode);
    CXTWebSocket ws;
    const auto start = steady_clock::now();
    EXPECT_EQ(ws.Open("test", "localhost"), c.result);
    EXPECT_LT(ElapsedMs(start), 5000);
    EXPECT_EQ(ws.Send("x"), 4317u);
    server_.Stop();
  }
  CXTWebSocket ws;
  EXPECT_EQ(ws.Open("test", "127.0.0.1"), static_cast<unsigned long>(ERROR_WINHTTP_CANNOT_CONNECT));  // nobody there
}

TEST_F(WebSocketTest, ServerTextAndAgentAreChecked) {
  CXTWebSocket ws;
  for (const char* server : {"", "wss://localhost", "localhost:443", "localhost/", "local host", "[localhost]"})
    EXPECT_EQ(ws.Open("test", server), static_cast<unsigned long>(ERROR_WINHTTP_INVALID_URL)) << server;
  EXPECT_EQ(ws.Open("test\r\nX-Injected: 1", "localhost"), static_cast<unsigned long>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(ws.Open("test", "no-such-host.invalid"), static_cast<unsigned long>(ERROR_WINHTTP_NAME_NOT_RESOLVED));
}

}  // namespace
