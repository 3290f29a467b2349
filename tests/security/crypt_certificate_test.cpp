// Root and server certificates: their contents as openssl shows them, the
// stores, and a TLS connection trusting the root.
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "crypt_fixture.h"
#include "crypto/certificate.h"
#include "crypto/certstore.h"
#include "crypto/container.h"

namespace {

using xtb::crypto::CertificateStore;
using xtb::crypto::StoredCertificate;

std::vector<StoredCertificate> Store(const char* name) {
  CertificateStore store;
  EXPECT_TRUE(store.Open(name));
  return store.List();
}

const StoredCertificate* Named(const std::vector<StoredCertificate>& certificates, const std::string& name) {
  for (const StoredCertificate& certificate : certificates)
    if (certificate.friendlyName == name) return &certificate;
  return nullptr;
}

std::string WritePem(const std::string& path, const std::vector<uint8_t>& der) {
  xtb::crypto::Certificate certificate = xtb::crypto::Decode(der);
  FILE* file = std::fopen(path.c_str(), "w");
  EXPECT_TRUE(file && certificate && PEM_write_X509(file, certificate.get()) == 1);
  if (file) std::fclose(file);
  return path;
}

std::string Hex(const unsigned char* bytes, size_t length) {
  return CXTCrypt::KeyToHex(bytes, static_cast<unsigned long>(length)).GetString();
}

class Certificates : public CryptTest {};

TEST_F(Certificates, ContentsStoresAndThumbprints) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.CreateCACertificate("praxis-root", "Praxis Wurzel", "Praxis CA", 10)) << crypt.LastError.GetString();
  ASSERT_TRUE(crypt.CreateCACertificate("praxis-root", "Praxis Wurzel", "Praxis CA", 10));
  const auto roots = Store("Root");
  ASSERT_EQ(roots.size(), 1u);  // the first was replaced
  EXPECT_EQ(roots[0].keyContainer, "praxis-root");
  const std::string rootPem = WritePem(Path("root.pem"), roots[0].encoded);
  const std::string rootText = RunCommand("openssl x509 -noout -text -in '" + rootPem + "'");
  EXPECT_NE(rootText.find("Subject: CN = Praxis Wurzel"), std::string::npos) << rootText;
  EXPECT_NE(rootText.find("Issuer: CN = Praxis Wurzel"), std::string::npos);
  EXPECT_EQ(rootText.find("Basic Constraints"), std::string::npos);

  // No root matches: false, and the text stays as it was.
  crypt.LastError = "vorher";
  unsigned char thumbprint[20] = {};
  EXPECT_FALSE(crypt.CreateSSLCertificate("Unbekannt", "server", "Server", 1, thumbprint));
  EXPECT_STREQ(crypt.LastError.GetString(), "vorher");

  ASSERT_TRUE(crypt.CreateSSLCertificate("praxis wurzel", "praxis-server.local", "Praxis Server", 2, thumbprint))
      << crypt.LastError.GetString();
  unsigned char second[20] = {};
  ASSERT_TRUE(crypt.CreateSSLCertificate("Wurzel", "labor.local", "Labor Server", 1, second));
  const auto mine = Store("My");
  ASSERT_EQ(mine.size(), 2u);
  const StoredCertificate* server = Named(mine, "Praxis Server");
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(server->keyContainer, "CN=praxis-server.local");
  EXPECT_EQ(server->thumbprint, Hex(thumbprint, 20));

  const std::string serverPem = WritePem(Path("server.pem"), server->encoded);
  const std::string text = RunCommand("openssl x509 -noout -text -in '" + serverPem + "'");
  for (const char* expected :
       {"Version: 3 (0x2)", "Serial Number: 1 (0x1)", "Signature Algorithm: sha256WithRSAEncryption",
        "Issuer: CN = Praxis Wurzel", "Subject: CN = praxis-server.local", "Public Key Algorithm: rsaEncryption",
        "Public-Key: (4096 bit)", "X509v3 Extended Key Usage: \n                TLS Web Server Authentication\n"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  EXPECT_EQ(text.find("Basic Constraints"), std::string::npos);
  EXPECT_EQ(text.find("Key Usage: "), text.find("Extended Key Usage: ") + 9);  // no plain key usage
  const std::string other = RunCommand("openssl x509 -noout -serial -in '" +
                                       WritePem(Path("labor.pem"), Named(mine, "Labor Server")->encoded) + "'");
  EXPECT_EQ(other, "serial=01\n");
  std::string fingerprint = RunCommand("openssl x509 -noout -fingerprint -sha1 -in '" + serverPem + "'");
  fingerprint.erase(std::remove(fingerprint.begin(), fingerprint.end(), ':'), fingerprint.end());
  EXPECT_NE(fingerprint.find(CString(Hex(thumbprint, 20).c_str()).MakeUpper().GetString()), std::string::npos);

  // Signed by the root's key; openssl verify refuses the chain since the root
  // is no CA by its extensions.
  xtb::crypto::Certificate root = xtb::crypto::Decode(roots[0].encoded);
  xtb::crypto::Certificate signedOne = xtb::crypto::Decode(server->encoded);
  EXPECT_EQ(X509_verify(signedOne.get(), X509_get0_pubkey(root.get())), 1);
  int status = 0;
  RunCommand("openssl verify -CAfile '" + rootPem + "' '" + serverPem + "' 2>&1", &status);
  EXPECT_NE(status, 0);
}

TEST_F(Certificates, WithCaConstraintsLinuxClientsTrustTheRoot) {
  CXTCrypt crypt;
  ASSERT_TRUE(crypt.CreateCACertificate("tls-root", "TLS Wurzel", "TLS CA", 1, true));
  unsigned char thumbprint[20];
  ASSERT_TRUE(crypt.CreateSSLCertificate("TLS Wurzel", "localhost", "TLS Server", 1, thumbprint));
  const std::string rootPem = Path("root.pem"), serverPem = Path("server.pem");
  ASSERT_TRUE(crypt.ExportCertificatePem("Root", "TLS CA", rootPem.c_str())) << crypt.LastError.GetString();
  ASSERT_TRUE(crypt.ExportCertificatePem("My", "TLS Server", serverPem.c_str()));
  EXPECT_FALSE(crypt.ExportCertificatePem("My", "TLS CA", Path("none.pem").c_str()));
  EXPECT_FALSE(std::filesystem::exists(Path("none.pem")));
  int status = -1;
  const std::string verified = RunCommand("openssl verify -CAfile '" + rootPem + "' '" + serverPem + "' 2>&1", &status);
  EXPECT_EQ(status, 0) << verified;

  // A TLS server with the certificate and the key of its container.
  std::shared_ptr<xtb::crypto::Container> keys =
      xtb::crypto::Container::Acquire("CN=localhost", CRYPT_MACHINE_KEYSET);
  ASSERT_TRUE(keys);
  std::shared_ptr<xtb::crypto::Key> key = keys->ExchangeKey();
  ASSERT_TRUE(key);
  FILE* keyFile = std::fopen(Path("key.pem").c_str(), "w");
  ASSERT_TRUE(keyFile);
  ASSERT_EQ(PEM_write_PrivateKey(keyFile, key->Rsa(), nullptr, nullptr, 0, nullptr, nullptr), 1);
  std::fclose(keyFile);
  const int port = 20000 + getpid() % 20000;
  const pid_t server = fork();
  if (server == 0) {
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execlp("openssl", "openssl", "s_server", "-accept", ("127.0.0.1:" + std::to_string(port)).c_str(), "-cert",
           serverPem.c_str(), "-key", Path("key.pem").c_str(), "-quiet", nullptr);
    _exit(127);
  }
  std::string answer;
  for (int attempt = 0; attempt < 100; ++attempt) {
    answer = RunCommand("openssl s_client -connect 127.0.0.1:" + std::to_string(port) + " -CAfile '" + rootPem +
                            "' -verify_return_error </dev/null 2>&1",
                        &status);
    if (status == 0) break;  // until the server listens
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  EXPECT_EQ(status, 0) << answer;
  EXPECT_NE(answer.find("Verify return code: 0 (ok)"), std::string::npos) << answer;
}

TEST_F(Certificates, LongNamesAndLeapDays) {
  CXTCrypt crypt;
  EXPECT_FALSE(crypt.CreateCACertificate("long", std::string(257, 'x').c_str(), "Lang", 1));
  EXPECT_TRUE(EndsWith(crypt.LastError, " bei: CertStrToName 1"));
  EXPECT_TRUE(Store("Root").empty());
  // 29 February 2024 plus one year is 28 February 2025; plus four years, 29 February 2028.
  const time_t leapDay = 1709208000;  // 2024-02-29 12:00:00 UTC
  EXPECT_EQ(xtb::crypto::YearsLater(leapDay, 1), 1740744000);
  EXPECT_EQ(xtb::crypto::YearsLater(leapDay, 4), 1835438400);
}

}  // namespace
