#include "digest.h"

#include <xtbasis/crypt.h>

#include "provider_errors.h"

namespace xtb::crypto {

const EVP_MD* HashAlgorithm(unsigned int algorithm) {
  switch (algorithm) {
    case CALG_MD5: return EVP_md5();
    case CALG_SHA1: return EVP_sha1();
    case CALG_SHA_256: return EVP_sha256();
    case CALG_SHA_384: return EVP_sha384();
    case CALG_SHA_512: return EVP_sha512();
    default: return nullptr;
  }
}

Digest::Digest(unsigned int algorithm) {
  const EVP_MD* md = HashAlgorithm(algorithm);
  if (md == nullptr) {
    Fail(NTE_BAD_ALGID);
    return;
  }
  m_context.reset(EVP_MD_CTX_new());
  m_ready = m_context && EVP_DigestInit_ex(m_context.get(), md, nullptr) == 1;
  if (!m_ready) Fail(NTE_FAIL);
}

bool Digest::Update(const uint8_t* data, size_t length) {
  if (!m_ready) return Fail(NTE_FAIL);
  return length == 0 || EVP_DigestUpdate(m_context.get(), data, length) == 1 || Fail(NTE_FAIL);
}

std::vector<uint8_t> Digest::Finish() {
  std::vector<uint8_t> value(EVP_MAX_MD_SIZE);
  unsigned int size = 0;
  if (!m_ready || EVP_DigestFinal_ex(m_context.get(), value.data(), &size) != 1) {
    Fail(NTE_FAIL);
    size = 0;
  }
  m_ready = false;
  value.resize(size);
  return value;
}

}  // namespace xtb::crypto
