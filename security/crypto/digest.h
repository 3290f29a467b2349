// A running hash of one of the hash algorithms by its identifier.
#pragma once

#include <openssl/evp.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace xtb::crypto {

// The algorithm behind CALG_MD5, CALG_SHA1, CALG_SHA_256, CALG_SHA_384 or
// CALG_SHA_512; null for another identifier.
const EVP_MD* HashAlgorithm(unsigned int algorithm);

class Digest {
 public:
  // NTE_BAD_ALGID in the last error and IsReady false for an unknown
  // identifier.
  explicit Digest(unsigned int algorithm);
  bool IsReady() const { return m_ready; }
  bool Update(const uint8_t* data, size_t length);
  // The value; empty on failure. Ends the hash.
  std::vector<uint8_t> Finish();

 private:
  struct Free {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> m_context;
  bool m_ready = false;
};

}  // namespace xtb::crypto
