// A key held by a CXTCrypt: an RSA key (pair or public part) or an AES-256
// key, and whether it may leave the program in a key blob.
#pragma once

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <memory>

namespace xtb::crypto {

struct PKeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using PKey = std::unique_ptr<EVP_PKEY, PKeyFree>;

class Key {
 public:
  static constexpr size_t kAesBytes = 32;
  using AesBytes = std::array<uint8_t, kAesBytes>;

  // An RSA key; `hasPrivate` says whether the private part is in it.
  Key(PKey rsa, bool hasPrivate, bool exportable)
      : m_rsa(std::move(rsa)), m_hasPrivate(hasPrivate), m_exportable(exportable) {}
  Key(const AesBytes& aes, bool exportable) : m_aes(aes), m_exportable(exportable) {}
  ~Key();
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool HasPrivate() const { return m_hasPrivate; }
  bool IsExportable() const { return m_exportable; }
  EVP_PKEY* Rsa() const { return m_rsa.get(); }
  const AesBytes& Aes() const { return m_aes; }

 private:
  PKey m_rsa;
  AesBytes m_aes{};
  bool m_hasPrivate = false;
  bool m_exportable = false;
};

// A fresh AES-256 key from the system's random source, or null.
std::shared_ptr<Key> GenerateAesKey();
// A fresh RSA key pair of `bits` bits with exponent 65537, or null.
PKey GenerateRsaKey(unsigned bits);

}  // namespace xtb::crypto
