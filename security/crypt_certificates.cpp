// CXTCrypt: the root and server certificates of the machine's stores.
#include <openssl/rand.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>

#include <xtbasis/crypt.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

#include "crypto/certificate.h"
#include "crypto/certstore.h"
#include "crypto/container.h"
#include "crypto/files.h"
#include "crypto/key.h"
#include "crypto/provider_errors.h"
#include "crypto/texts.h"
#include "os/clocks.h"

using namespace xtb::crypto;

namespace {

constexpr unsigned kCertificateKeyBits = 4096;
constexpr size_t kMaxSubject = 259;  // "CN=" and the name, without the NUL
constexpr const char* kRootKeyProvider = "";  // the default provider
constexpr const char* kServerKeyProvider = "Microsoft Base Cryptographic Provider v1.0";
constexpr DWORD kNotFound = 0x80092004u;  // CRYPT_E_NOT_FOUND

std::string Subject(const char* commonName) { return std::string("CN=") + (commonName ? commonName : ""); }

std::string Utf8(const std::string& text) { return AnsiToUTF8(CString(text.c_str())).GetString(); }

bool ContainsNoCase(const std::string& text, const std::string& part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         }) != text.end();
}

// A fresh non-exportable 4096-bit exchange key stored in `container`.
std::shared_ptr<Key> NewStoredKey(Container& container) {
  PKey rsa = GenerateRsaKey(kCertificateKeyBits);
  if (!rsa) return nullptr;
  auto key = std::make_shared<Key>(std::move(rsa), true, false);
  return container.StoreExchangeKey(*key) ? key : nullptr;
}

// The root's serial: 16 random bytes, positive.
std::vector<uint8_t> RandomSerial() {
  std::vector<uint8_t> serial(16);
  if (RAND_bytes(serial.data(), static_cast<int>(serial.size())) != 1) return {};
  serial[0] = static_cast<uint8_t>((serial[0] & 0x7F) | 0x40);
  return serial;
}

}  // namespace

bool CXTCrypt::CreateCACertificate(const char* container, const char* commonName, const char* friendlyName, int years,
                                   bool caConstraints) {
  const std::string subject = Subject(commonName);
  if (subject.size() > kMaxSubject) {
    Fail(NTE_BAD_LEN);
    FillLastError("CertStrToName 1");
    return false;
  }
  if (!AcquireContext(container, CRYPT_MACHINE_KEYSET)) return false;
  bool added = false;
  std::shared_ptr<Key> key = NewStoredKey(*m_provider);
  if (!key) {
    FillLastError("CryptGenKey");
  } else {
    CertificateRequest request;
    request.subjectCommonName = Utf8(subject.substr(3));
    request.subjectKey = request.signingKey = key->Rsa();
    request.serial = RandomSerial();
    request.years = years;
    request.caConstraints = caConstraints;
    Certificate certificate = request.serial.empty() ? nullptr : MakeCertificate(request, static_cast<time_t>(xtb::os::WallClock().seconds));
    CertificateStore store;
    StoredCertificate entry;
    if (!certificate) {
      FillLastError("CertCreateSelfSignCertificate");
    } else if (!store.Open("Root")) {
      FillLastError("CertOpenStore");
    } else {
      entry.encoded = Encode(certificate.get());
      entry.friendlyName = friendlyName ? friendlyName : "";
      entry.keyContainer = container ? container : "";
      entry.keyProvider = kRootKeyProvider;
      store.DeleteByFriendlyName(entry.friendlyName);
      added = store.Add(entry);
      if (!added) FillLastError("CertAddCertificateContextToStore");
    }
  }
  m_keyPair.reset();
  ReleaseContext();
  return added;
}

bool CXTCrypt::CreateSSLCertificate(const char* rootSubjectSearch, const char* commonName, const char* friendlyName,
                                    int years, unsigned char* const thumbprint) {
  CertificateStore roots;
  if (!roots.Open("Root")) return false;
  const std::string search = Utf8(rootSubjectSearch ? rootSubjectSearch : "");
  StoredCertificate root;
  Certificate rootCertificate;
  for (StoredCertificate& candidate : roots.List()) {
    Certificate decoded = Decode(candidate.encoded);
    if (decoded && ContainsNoCase(SubjectText(decoded.get()), search)) {
      root = std::move(candidate);
      rootCertificate = std::move(decoded);
      break;
    }
  }
  if (!rootCertificate) return false;
  return CreateCertificate(rootCertificate.get(), root.keyContainer, Subject(commonName), friendlyName, years,
                           thumbprint);
}

bool CXTCrypt::CreateCertificate(X509* root, const std::string& rootContainer, const std::string& subject,
                                 const char* friendlyName, int years, unsigned char* const thumbprint) {
  if (subject.size() > kMaxSubject) {
    Fail(NTE_BAD_LEN);
    FillLastError("CertStrToName 1");
    return false;
  }
  if (rootContainer.empty()) {
    Fail(kNotFound);
    FillLastError("CertGetCertificateContextProperty 1");
    return false;
  }
  std::shared_ptr<Container> rootKeys = Container::Acquire(rootContainer.c_str(), CRYPT_MACHINE_KEYSET);
  std::shared_ptr<Key> rootKey = rootKeys ? rootKeys->ExchangeKey() : nullptr;
  if (!rootKey) {
    FillLastError("CryptAcquireContextW");
    return false;
  }
  // The server's key lives in the machine container named by its subject.
  std::shared_ptr<Container> keys = Container::Acquire(subject.c_str(), CRYPT_MACHINE_KEYSET | CRYPT_NEWKEYSET);
  if (!keys && GetLastError() != NTE_EXISTS) {
    FillLastError("CryptAcquireContext 1", GetLastError());
    return false;
  }
  if (!keys) keys = Container::Acquire(subject.c_str(), CRYPT_MACHINE_KEYSET);
  if (!keys) {
    FillLastError("CryptAcquireContext 2");
    return false;
  }
  std::shared_ptr<Key> key = NewStoredKey(*keys);
  if (!key) {
    FillLastError("CryptGenKey");
    return false;
  }
  CertificateRequest request;
  request.subjectCommonName = Utf8(subject.substr(3));
  request.issuer = X509_get_subject_name(root);
  request.subjectKey = key->Rsa();
  request.signingKey = rootKey->Rsa();
  request.serial = {0x01};
  request.years = years;
  Certificate certificate = MakeCertificate(request, static_cast<time_t>(xtb::os::WallClock().seconds));
  if (!certificate) {
    FillLastError("CryptSignAndEncodeCertificate 2");
    return false;
  }
  CertificateStore store;
  if (!store.Open("My")) {
    FillLastError("CertOpenStore");
    return false;
  }
  StoredCertificate entry;
  entry.encoded = Encode(certificate.get());
  entry.friendlyName = friendlyName ? friendlyName : "";
  entry.keyContainer = subject;
  entry.keyProvider = kServerKeyProvider;
  store.DeleteByFriendlyName(entry.friendlyName);
  if (!store.Add(entry)) {
    FillLastError("CertAddEncodedCertificateToStore");
    return false;
  }
  if (thumbprint != nullptr) {
    unsigned int length = 0;
    if (X509_digest(certificate.get(), EVP_sha1(), thumbprint, &length) != 1 || length != 20) {
      Fail(NTE_FAIL);
      FillLastError("CryptHashCertificate");
      return false;
    }
  }
  return true;
}

bool CXTCrypt::ExportCertificatePem(const char* store, const char* friendlyName, const char* file) {
  CertificateStore certificates;
  if (!certificates.Open(store ? store : "")) {
    FillLastError("CertOpenStore");
    return false;
  }
  for (const StoredCertificate& entry : certificates.List()) {
    if (entry.friendlyName != (friendlyName ? friendlyName : "")) continue;
    Certificate certificate = Decode(entry.encoded);
    const std::string pem = certificate ? PemText(certificate.get()) : std::string();
    if (!xtb::crypto::disk::WriteFileForEveryone(file, reinterpret_cast<const uint8_t*>(pem.data()), pem.size())) {
      LastError = CString(kSaveFailed) + CString(file ? file : "");
      return false;
    }
    return true;
  }
  Fail(kNotFound);
  FillLastError("CertFindCertificateInStore");
  return false;
}
