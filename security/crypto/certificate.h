// X.509 certificates of the workstation's small public-key infrastructure:
// version 3, sha256WithRSAEncryption, the one non-critical extension
// "extended key usage: server authentication", and on request a
// basic-constraints extension CA:TRUE on the root, which Linux clients need
// before they accept it as an issuer.
#pragma once

#include <openssl/x509.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace xtb::crypto {

struct X509Free {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
using Certificate = std::unique_ptr<X509, X509Free>;

struct CertificateRequest {
  std::string subjectCommonName;  // UTF-8
  const X509_NAME* issuer = nullptr;  // null: self-signed
  EVP_PKEY* subjectKey = nullptr;
  EVP_PKEY* signingKey = nullptr;
  std::vector<uint8_t> serial;  // big-endian
  int years = 1;
  bool caConstraints = false;
};

// The validity end: `from` with the year increased by `years` (UTC); a
// 29 February that the new year lacks becomes 28 February.
time_t YearsLater(time_t from, int years);

// The signed certificate, or null with the last error set.
Certificate MakeCertificate(const CertificateRequest& request, time_t now);

std::vector<uint8_t> Encode(X509* certificate);
Certificate Decode(const std::vector<uint8_t>& encoded);

// The PEM text of the certificate; empty on failure.
std::string PemText(X509* certificate);

// "CN=<name>" of the certificate's subject (the common name as UTF-8).
std::string SubjectText(X509* certificate);

}  // namespace xtb::crypto
