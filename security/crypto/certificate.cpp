#include "certificate.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <xtbasis/crypt.h>

#include "os/clocks.h"
#include "provider_errors.h"

namespace xtb::crypto {

namespace {

struct NameFree {
  void operator()(X509_NAME* name) const { X509_NAME_free(name); }
};
struct ExtensionFree {
  void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
};

bool AddExtension(X509* certificate, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, ExtensionFree> extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

}  // namespace

time_t YearsLater(time_t from, int years) {
  std::tm parts{};
  xtb::os::UtcCalendar(from, parts);
  parts.tm_year += years;
  const int year = parts.tm_year + 1900;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (parts.tm_mon == 1 && parts.tm_mday == 29 && !leap) parts.tm_mday = 28;
  return static_cast<time_t>(xtb::os::SecondsOfUtcCalendar(parts));
}

Certificate MakeCertificate(const CertificateRequest& request, time_t now) {
  Certificate certificate(X509_new());
  std::unique_ptr<X509_NAME, NameFree> subject(X509_NAME_new());
  std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(
      BN_bin2bn(request.serial.data(), static_cast<int>(request.serial.size()), nullptr), BN_free);
  bool ok = certificate && subject && serial && X509_set_version(certificate.get(), 2) == 1 &&
            BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate.get())) != nullptr &&
            X509_NAME_add_entry_by_txt(subject.get(), "CN", MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(request.subjectCommonName.data()),
                                       static_cast<int>(request.subjectCommonName.size()), -1, 0) == 1 &&
            X509_set_subject_name(certificate.get(), subject.get()) == 1 &&
            X509_set_issuer_name(certificate.get(), request.issuer ? request.issuer : subject.get()) == 1 &&
            X509_time_adj_ex(X509_getm_notBefore(certificate.get()), 0, 0, &now) != nullptr;
  time_t end = YearsLater(now, request.years);
  ok = ok && X509_time_adj_ex(X509_getm_notAfter(certificate.get()), 0, 0, &end) != nullptr &&
       X509_set_pubkey(certificate.get(), request.subjectKey) == 1 &&
       (!request.caConstraints || AddExtension(certificate.get(), NID_basic_constraints, "critical,CA:TRUE")) &&
       AddExtension(certificate.get(), NID_ext_key_usage, "serverAuth") &&
       X509_sign(certificate.get(), request.signingKey, EVP_sha256()) > 0;
  if (ok) return certificate;
  Fail(NTE_FAIL);
  return nullptr;
}

std::vector<uint8_t> Encode(X509* certificate) {
  unsigned char* der = nullptr;
  const int length = i2d_X509(certificate, &der);
  std::vector<uint8_t> bytes;
  if (length > 0) bytes.assign(der, der + length);
  OPENSSL_free(der);
  return bytes;
}

Certificate Decode(const std::vector<uint8_t>& encoded) {
  const unsigned char* next = encoded.data();
  return Certificate(d2i_X509(nullptr, &next, static_cast<long>(encoded.size())));
}

std::string PemText(X509* certificate) {
  std::unique_ptr<BIO, decltype(&BIO_free)> memory(BIO_new(BIO_s_mem()), BIO_free);
  char* data = nullptr;
  if (!memory || PEM_write_bio_X509(memory.get(), certificate) != 1) return {};
  const long length = BIO_get_mem_data(memory.get(), &data);
  return length > 0 ? std::string(data, static_cast<size_t>(length)) : std::string();
}

std::string SubjectText(X509* certificate) {
  std::string text;
  const X509_NAME* name = X509_get_subject_name(certificate);
  const int at = name ? X509_NAME_get_index_by_NID(name, NID_commonName, -1) : -1;
  unsigned char* utf8 = nullptr;
  const int length = at >= 0 ? ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, at))) : -1;
  if (length >= 0) text = "CN=" + std::string(reinterpret_cast<char*>(utf8), static_cast<size_t>(length));
  OPENSSL_free(utf8);
  return text;
}

}  // namespace xtb::crypto
