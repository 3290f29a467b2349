// AES-256-CBC as one stream over many calls: the chaining runs on from call
// to call and only the final call pads (PKCS#5) or removes the padding.
#pragma once

#include <openssl/evp.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace xtb::crypto {

class AesStream {
 public:
  // `iv` null: the all-zero vector.
  AesStream(const uint8_t* key, const uint8_t* iv, bool encrypt);
  bool IsReady() const { return m_ready; }

  // Transforms `length` bytes of `buffer` in place; the buffer must have 16
  // bytes of room beyond `length` for the padding, and every call but the
  // final one a multiple of 16 bytes. Returns the number of
  // bytes written to the front of the buffer, or -1 (NTE_BAD_DATA in the
  // last error: wrong length or padding).
  long Update(uint8_t* buffer, size_t length, bool final);

 private:
  struct Free {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
  };
  std::unique_ptr<EVP_CIPHER_CTX, Free> m_context;
  bool m_encrypt;
  bool m_ready = false;
};

}  // namespace xtb::crypto
