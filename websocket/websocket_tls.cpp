#include "websocket_tls.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "data_folders.h"
#include "os/folder.h"

namespace xtb::ws {

namespace {

int PolicyIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

int VerifyCallback(int ok, X509_STORE_CTX* store) {
  if (ok) return 1;
  auto* connection = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  if (connection == nullptr) return 0;
  auto* policy = static_cast<CertificatePolicy*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(connection), PolicyIndex()));
  return policy && policy->Accepts(X509_STORE_CTX_get_error(store), X509_STORE_CTX_get_current_cert(store)) ? 1 : 0;
}

bool HasCaMark(X509* certificate) { return (X509_get_extension_flags(certificate) & EXFLAG_BCONS) != 0; }

// Every certificate of a file's bytes: PEM (one or more) or DER.
template <class Add>
void ReadCertificates(const std::vector<uint8_t>& bytes, Add add) {
  BIO* bio = BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size()));
  if (bio == nullptr) return;
  int found = 0;
  while (X509* certificate = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
    add(certificate);
    ++found;
  }
  if (found == 0 && BIO_reset(bio) == 0) {
    if (X509* certificate = d2i_X509_bio(bio, nullptr)) add(certificate);
  }
  BIO_free(bio);
  ERR_clear_error();
}

}  // namespace

std::string RootStoreFolder() { return xtb::CertificateStoresFolder() + "/Root"; }

bool CertificatePolicy::Install(SSL_CTX* context) {
  if (SSL_CTX_set_ex_data(context, PolicyIndex(), this) != 1) return false;
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, VerifyCallback);
  if (!verify_) return true;
  X509_STORE* store = SSL_CTX_get_cert_store(context);
  LoadOwnRoots(store);
  SSL_CTX_set_default_verify_paths(context);  // a missing system store only leaves fewer roots
  ERR_clear_error();
  return true;
}

bool CertificatePolicy::PrepareConnection(SSL* connection, const std::string& host) {
  X509_VERIFY_PARAM* param = SSL_get0_param(connection);
  // An address is checked against the certificate's addresses; a name is
  // also sent as SNI.
  if (X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1) return true;
  ERR_clear_error();
  return X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) == 1 &&
         SSL_set_tlsext_host_name(connection, host.c_str()) == 1;
}

void CertificatePolicy::LoadOwnRoots(X509_STORE* store) {
  // The store's entries are read as the key container family reads them:
  // a link or a second name planted there is no root of ours.
  const os::Folder folder(RootStoreFolder());
  folder.List([&](std::string_view name) {
    std::vector<uint8_t> bytes;
    if (folder.ReadEntry(name, bytes) && bytes.size() <= static_cast<size_t>(INT_MAX))
      ReadCertificates(bytes, [&](X509* certificate) {
        X509_STORE_add_cert(store, certificate);  // a duplicate is refused harmlessly
        ownRoots_.emplace_back(certificate);
      });
    return true;
  });
  ERR_clear_error();
}

bool CertificatePolicy::IsOwnRoot(X509* certificate) const {
  for (const auto& root : ownRoots_)
    if (X509_cmp(root.get(), certificate) == 0) return true;
  return false;
}

bool CertificatePolicy::Accepts(int error, X509* certificate) {
  if (Tolerates(error, certificate)) return true;
  if (refusal_ == X509_V_OK) refusal_ = error;
  return false;
}

bool CertificatePolicy::Tolerates(int error, X509* certificate) const {
  // An issuer without the CA mark: the suite's roots are made that way.
  const bool unmarkedIssuer = (error == X509_V_ERR_INVALID_CA || error == X509_V_ERR_INVALID_PURPOSE) &&
                              certificate != nullptr && !HasCaMark(certificate);
  if (verify_) return unmarkedIssuer && IsOwnRoot(certificate);
  switch (error) {
    // unknown issuer
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT: case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE: case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN: case X509_V_ERR_CERT_UNTRUSTED:
    // dates
    case X509_V_ERR_CERT_NOT_YET_VALID: case X509_V_ERR_CERT_HAS_EXPIRED:
    // usage
    case X509_V_ERR_INVALID_PURPOSE:
    // name
    case X509_V_ERR_HOSTNAME_MISMATCH: case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return true;
    default:
      return unmarkedIssuer;
  }
}

}  // namespace xtb::ws
