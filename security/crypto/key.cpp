#include "key.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <xtbasis/crypt.h>

#include "provider_errors.h"

namespace xtb::crypto {

Key::~Key() { OPENSSL_cleanse(m_aes.data(), m_aes.size()); }

std::shared_ptr<Key> GenerateAesKey() {
  Key::AesBytes bytes;
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    Fail(NTE_FAIL);
    return nullptr;
  }
  auto key = std::make_shared<Key>(bytes, true);
  OPENSSL_cleanse(bytes.data(), bytes.size());
  return key;
}

PKey GenerateRsaKey(unsigned bits) {
  PKey key(EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", static_cast<size_t>(bits)));
  if (!key) Fail(NTE_FAIL);
  return key;
}

}  // namespace xtb::crypto
