#include "aes_stream.h"

#include <climits>

#include <xtbasis/crypt.h>

#include "provider_errors.h"

namespace xtb::crypto {

AesStream::AesStream(const uint8_t* key, const uint8_t* iv, bool encrypt)
    : m_context(EVP_CIPHER_CTX_new()), m_encrypt(encrypt) {
  static const uint8_t kZero[16] = {};
  m_ready = m_context && EVP_CipherInit_ex(m_context.get(), EVP_aes_256_cbc(), nullptr, key, iv ? iv : kZero,
                                           encrypt ? 1 : 0) == 1;
  // The padding is removed here rather than by the cipher, which would hold
  // back a block between calls and so could not work in place.
  if (m_ready && !encrypt) EVP_CIPHER_CTX_set_padding(m_context.get(), 0);
}

namespace {

long Failed(DWORD code) {
  Fail(code);
  return -1;
}

}  // namespace

long AesStream::Update(uint8_t* buffer, size_t length, bool final) {
  if (!m_ready || length > INT_MAX - 32) return Failed(NTE_FAIL);
  int out = 0;
  if (length > 0 && EVP_CipherUpdate(m_context.get(), buffer, &out, buffer, static_cast<int>(length)) != 1)
    return Failed(NTE_BAD_DATA);
  if (!final) return out;
  int tail = 0;
  if (EVP_CipherFinal_ex(m_context.get(), buffer + out, &tail) != 1) return Failed(NTE_BAD_DATA);
  out += tail;
  if (m_encrypt) return out;
  const unsigned pad = out > 0 ? buffer[out - 1] : 0;
  if (pad == 0 || pad > 16 || pad > static_cast<unsigned>(out)) return Failed(NTE_BAD_DATA);
  for (unsigned i = 1; i <= pad; ++i)
    if (buffer[out - i] != pad) return Failed(NTE_BAD_DATA);
  return out - static_cast<long>(pad);
}

}  // namespace xtb::crypto
