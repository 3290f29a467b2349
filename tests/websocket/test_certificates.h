// Certificates for the test servers, made with OpenSSL: self-signed or
// issued by a test root, with chosen names and dates.
#pragma once

#include <string>
#include <vector>

struct CertificateRequest {
  std::string commonName = "localhost";
  std::vector<std::string> altNames = {"DNS:localhost", "IP:127.0.0.1"};
  int validFromDays = -1;  // relative to now
  int validToDays = 30;
};

struct IssuedCertificate {
  std::string certificatePem;
  std::string keyPem;
};

// Self-signed when `issuer` is null. `brokenSignature` signs with a key that
// is not the issuer's.
IssuedCertificate MakeCertificate(const CertificateRequest& request, const IssuedCertificate* issuer = nullptr,
                                  bool brokenSignature = false);
// A root as the suite makes its own: no CA mark, only the server
// authentication purpose.
IssuedCertificate MakeSuiteRoot(const std::string& commonName);

void WriteFile(const std::string& path, const std::string& text);
