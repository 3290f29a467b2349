// CXTCrypt: signatures of files (SHA-256, RSA PKCS#1 v1.5, bytes reversed).
#include <openssl/rsa.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <xtbasis/crypt.h>

#include "crypto/container.h"
#include "crypto/files.h"
#include "crypto/key.h"
#include "crypto/provider_errors.h"
#include "crypto/texts.h"

using namespace xtb::crypto;

namespace {

struct CtxFree {
  void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
using PKeyCtx = std::unique_ptr<EVP_PKEY_CTX, CtxFree>;

PKeyCtx SignatureContext(EVP_PKEY* key, bool sign) {
  PKeyCtx context(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr));
  const bool ok = context && (sign ? EVP_PKEY_sign_init(context.get()) : EVP_PKEY_verify_init(context.get())) == 1 &&
                  EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) == 1 &&
                  EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) == 1;
  return ok ? std::move(context) : nullptr;
}

}  // namespace

bool CXTCrypt::SignHash(const char* file, unsigned char*& signature, unsigned long& length, XTCryptCallback callback) {
  signature = nullptr;
  length = 0;
  const std::vector<uint8_t> digest = DoCalcFileHash(file, CALG_SHA_256, callback);
  if (digest.empty()) return false;
  // The container's exchange key signs; a throw-away context has only the
  // key pair in memory.
  std::shared_ptr<Key> key = m_keyPair && m_keyPair->HasPrivate() ? m_keyPair : m_provider->ExchangeKey();
  PKeyCtx context = key ? SignatureContext(key->Rsa(), true) : nullptr;
  size_t size = 0;
  if (!context || EVP_PKEY_sign(context.get(), nullptr, &size, digest.data(), digest.size()) != 1) {
    if (key) Fail(NTE_BAD_KEY);
    FillLastError("CryptSignHash 1");
    return false;
  }
  signature = static_cast<unsigned char*>(std::malloc(size));
  if (signature == nullptr || EVP_PKEY_sign(context.get(), signature, &size, digest.data(), digest.size()) != 1) {
    std::free(signature);
    signature = nullptr;
    Fail(NTE_FAIL);
    FillLastError("CryptSignHash 2");
    return false;
  }
  std::reverse(signature, signature + size);
  length = static_cast<unsigned long>(size);
  return true;
}

bool CXTCrypt::VerifyHash(const char* file, unsigned char* signature, unsigned long length, XTCryptCallback callback) {
  const std::vector<uint8_t> digest = DoCalcFileHash(file, CALG_SHA_256, callback);
  if (digest.empty()) return false;
  PKeyCtx context = m_keyPair ? SignatureContext(m_keyPair->Rsa(), false) : nullptr;
  std::vector<uint8_t> reversed(signature, signature + (signature ? length : 0));
  std::reverse(reversed.begin(), reversed.end());
  if (!context) {
    Fail(m_keyPair ? NTE_BAD_KEY : NTE_NO_KEY);
  } else if (EVP_PKEY_verify(context.get(), reversed.data(), reversed.size(), digest.data(), digest.size()) == 1) {
    return true;
  } else {
    Fail(NTE_BAD_SIGNATURE);
  }
  FillLastError("CryptVerifySignature");
  return false;
}

bool CXTCrypt::SignHash(const char* file, const char* signatureFile, XTCryptCallback callback) {
  unsigned char* signature = nullptr;
  unsigned long length = 0;
  if (!SignHash(file, signature, length, callback)) {
    FillLastError("SignHash");
    return false;
  }
  const bool written = xtb::crypto::disk::WriteFileForEveryone(signatureFile, signature, length);
  std::free(signature);
  if (!written) LastError = CString(xtb::crypto::kCreateFailed) + CString(signatureFile ? signatureFile : "");
  return written;
}

bool CXTCrypt::VerifyHash(const char* file, const char* signatureFile, XTCryptCallback callback) {
  std::vector<uint8_t> signature;
  if (!xtb::crypto::disk::ReadWholeFile(signatureFile, signature) || signature.empty()) {
    LastError = CString(xtb::crypto::kOpenFailed) + CString(signatureFile ? signatureFile : "");
    return false;
  }
  return VerifyHash(file, signature.data(), static_cast<unsigned long>(signature.size()), callback);
}
