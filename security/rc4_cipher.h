// The RC4 stream cipher: key schedule over the whole key, then the
// keystream XORed onto the data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xtb::rc4 {

class Cipher {
 public:
  // keyLength must be at least 1.
  Cipher(const uint8_t* key, size_t keyLength);
  // XORs the next length bytes of the keystream onto data.
  void Apply(uint8_t* data, size_t length);

 private:
  uint8_t m_state[256];
  uint8_t m_i = 0;
  uint8_t m_j = 0;
};

}  // namespace xtb::rc4
