#include "rc4_cipher.h"

#include <utility>

#include <xtbasis/rc4file.h>

namespace xtb::rc4 {

Cipher::Cipher(const uint8_t* key, size_t keyLength) {
  for (int i = 0; i < 256; ++i) m_state[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (size_t i = 0; i < 256; ++i) {
    j = static_cast<uint8_t>(j + m_state[i] + key[i % keyLength]);
    std::swap(m_state[i], m_state[j]);
  }
}

void Cipher::Apply(uint8_t* data, size_t length) {
  for (size_t n = 0; n < length; ++n) {
    m_i = static_cast<uint8_t>(m_i + 1);
    m_j = static_cast<uint8_t>(m_j + m_state[m_i]);
    std::swap(m_state[m_i], m_state[m_j]);
    data[n] ^= m_state[static_cast<uint8_t>(m_state[m_i] + m_state[m_j])];
  }
}

}  // namespace xtb::rc4

void RC4Crypt(const BYTE* key, int keyLength, BYTE* data, int dataLength) {
  if (key == nullptr || data == nullptr || keyLength < 1 || dataLength < 1) return;
  xtb::rc4::Cipher cipher(key, static_cast<size_t>(keyLength));
  cipher.Apply(data, static_cast<size_t>(dataLength));
}
