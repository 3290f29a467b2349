// The certificate checks of a WebSocket connection. Without verification a
// certificate passes whatever its issuer, usage, name or dates say, and fails
// on anything else (bad signature, malformed); with it, it must chain to a
// root of the library's Root store or the system's trust store and name the
// host. The suite's own roots carry no CA mark (basic constraints), so they
// are taken as issuers all the same.
#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>
#include <vector>

namespace xtb::ws {

// The folder of the library's trusted roots: the certificate store "Root"
// (/var/lib/xtbasis/certs/Root unless XTBASIS_CRYPTO_DIR moves it).
std::string RootStoreFolder();

class CertificatePolicy {
 public:
  explicit CertificatePolicy(bool verify) : verify_(verify) {}
  CertificatePolicy(const CertificatePolicy&) = delete;
  CertificatePolicy& operator=(const CertificatePolicy&) = delete;

  // Hooks the checks into `context` (which must not outlive this object);
  // with verification, loads the trusted roots. False when OpenSSL refuses.
  bool Install(SSL_CTX* context);
  // Names the host for one connection: SNI and the name or address check.
  static bool PrepareConnection(SSL* connection, const std::string& host);

  // Whether the verify error `error` about `certificate` lets the handshake
  // go on; the first that does not is kept as the refusal.
  bool Accepts(int error, X509* certificate);
  // The X509_V_ERR_* that refused the certificate, X509_V_OK when none did.
  long Refusal() const { return refusal_; }

 private:
  bool Tolerates(int error, X509* certificate) const;
  void LoadOwnRoots(X509_STORE* store);
  bool IsOwnRoot(X509* certificate) const;

  struct FreeX509 {
    void operator()(X509* certificate) const { X509_free(certificate); }
  };
  bool verify_;
  long refusal_ = X509_V_OK;
  std::vector<std::unique_ptr<X509, FreeX509>> ownRoots_;
};

}  // namespace xtb::ws
