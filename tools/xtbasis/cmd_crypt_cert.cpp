// xtbasis crypt cert ca|server: the machine's root and server certificates.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cmd_crypt.h"

namespace xtbtool::crypt {

namespace {

// Where update-ca-certificates picks up local roots.
constexpr const char* kLocalTrustFolder = "/usr/local/share/ca-certificates/";

bool Years(const std::string& text, int& years) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  years = static_cast<int>(value);
  return !text.empty() && *end == '\0' && value >= 1 && value <= 100;
}

// The root's PEM as a file of the local trust folder, then the system's
// trust store rebuilt.
int InstallTrust(CXTCrypt& crypt, const std::string& friendlyName) {
  std::string file;
  for (char c : friendlyName) file += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
  file = kLocalTrustFolder + ("xtbasis-" + file + ".crt");
  if (!crypt.ExportCertificatePem("Root", friendlyName.c_str(), file.c_str()))
    return Failure("cert ca --install-trust", crypt.LastError);
  if (std::system("update-ca-certificates >/dev/null") != 0) {
    std::fprintf(stderr, "xtbasis crypt: update-ca-certificates failed\n");
    return 1;
  }
  std::printf("%s\n", file.c_str());
  return 0;
}

}  // namespace

int Cert(Args args) {
  std::string pem;
  const bool writePem = TakeOption(args, "--pem", &pem);
  const bool constraints = TakeOption(args, "--ca-constraints", nullptr);
  const bool trust = TakeOption(args, "--install-trust", nullptr);
  int years = 0;
  if (args.size() != 5 || !Years(args[4], years) || (args[0] != "ca" && args[0] != "server") ||
      (args[0] == "server" && (constraints || trust)))
    return 2;
  CXTCrypt crypt;
  const char* store = args[0] == "ca" ? "Root" : "My";
  if (args[0] == "ca") {
    if (!crypt.CreateCACertificate(args[1].c_str(), args[2].c_str(), args[3].c_str(), years, constraints))
      return Failure("cert ca", crypt.LastError);
  } else {
    unsigned char thumbprint[20];
    if (!crypt.CreateSSLCertificate(args[1].c_str(), args[2].c_str(), args[3].c_str(), years, thumbprint))
      return Failure("cert server", crypt.LastError.IsEmpty() ? CString("no root certificate matches") : crypt.LastError);
    std::printf("%s\n", CXTCrypt::KeyToHex(thumbprint, sizeof thumbprint).GetString());
  }
  if (writePem && !crypt.ExportCertificatePem(store, args[3].c_str(), pem.c_str())) return Failure("cert", crypt.LastError);
  return trust ? InstallTrust(crypt, args[3]) : 0;
}

}  // namespace xtbtool::crypt
