#include "test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

struct Free {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
  void operator()(X509* certificate) const { X509_free(certificate); }
  void operator()(BIO* bio) const { BIO_free(bio); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Certificate = std::unique_ptr<X509, Free>;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

Key NewKey() { return Key(EVP_EC_gen("P-256")); }

std::string Pem(int (*write)(BIO*, void*), void* object) {
  std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
  Check(write(bio.get(), object) == 1, "PEM");
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<size_t>(size));
}

std::string CertificatePem(X509* certificate) {
  return Pem([](BIO* bio, void* x) { return PEM_write_bio_X509(bio, static_cast<X509*>(x)); }, certificate);
}
std::string KeyPem(EVP_PKEY* key) {
  return Pem([](BIO* bio, void* k) {
    return PEM_write_bio_PrivateKey(bio, static_cast<EVP_PKEY*>(k), nullptr, nullptr, 0, nullptr, nullptr);
  }, key);
}

Certificate ReadCertificate(const std::string& pem) {
  std::unique_ptr<BIO, Free> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  return Certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}
Key ReadKey(const std::string& pem) {
  std::unique_ptr<BIO, Free> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  return Key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
  Check(extension != nullptr, "extension");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

Certificate Build(const std::string& commonName, EVP_PKEY* key, int fromDays, int toDays, long serial) {
  Certificate certificate(X509_new());
  X509_set_version(certificate.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), static_cast<long>(fromDays) * 86400);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), static_cast<long>(toDays) * 86400);
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()),
                             -1, -1, 0);
  X509_set_pubkey(certificate.get(), key);
  return certificate;
}

}  // namespace

IssuedCertificate MakeCertificate(const CertificateRequest& request, const IssuedCertificate* issuer, bool brokenSignature) {
  Key key = NewKey();
  Certificate certificate = Build(request.commonName, key.get(), request.validFromDays, request.validToDays, 2);
  Certificate issuerCertificate = issuer ? ReadCertificate(issuer->certificatePem) : nullptr;
  Key signer = issuer ? ReadKey(issuer->keyPem) : nullptr;
  X509* issuedBy = issuer ? issuerCertificate.get() : certificate.get();
  X509_set_issuer_name(certificate.get(), X509_get_subject_name(issuedBy));
  std::string names;
  for (const auto& name : request.altNames) names += (names.empty() ? "" : ",") + name;
  if (!names.empty()) AddExtension(certificate.get(), issuedBy, NID_subject_alt_name, names);
  AddExtension(certificate.get(), issuedBy, NID_ext_key_usage, "serverAuth");
  Key stranger = brokenSignature ? NewKey() : nullptr;
  EVP_PKEY* signingKey = brokenSignature ? stranger.get() : issuer ? signer.get() : key.get();
  Check(X509_sign(certificate.get(), signingKey, EVP_sha256()) > 0, "sign");
  return {CertificatePem(certificate.get()), KeyPem(key.get())};
}

IssuedCertificate MakeSuiteRoot(const std::string& commonName) {
  Key key = NewKey();
  Certificate certificate = Build(commonName, key.get(), -1, 365, 1);
  X509_set_issuer_name(certificate.get(), X509_get_subject_name(certificate.get()));
  AddExtension(certificate.get(), certificate.get(), NID_ext_key_usage, "serverAuth");
  Check(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "sign");
  return {CertificatePem(certificate.get()), KeyPem(key.get())};
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  Check(out.good(), "write");
}
