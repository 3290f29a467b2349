// The process-wide CRC tables, built once on first use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xtb::crc {

inline constexpr uint32_t kPolynomial = 0x04C11DB7;

struct Tables {
  uint32_t polynomial;        // the polynomial the tables were built for
  uint32_t entries[256];      // register for byte i in the top byte, after 8 steps
  uint32_t slices[8][256];    // slices[k][i]: byte i followed by k zero bytes
};

// The tables, complete before the first caller sees them.
const Tables& GetTables();

// x^n mod P as a register value (bit i is the coefficient of x^i).
uint32_t PowerOfXModP(unsigned n);

// Continues `crc` over the bytes with the slice tables (eight bytes a step).
uint32_t UpdateSliced(uint32_t crc, const uint8_t* data, size_t length);

// Continues `crc` over as many leading bytes as the carry-less multiply path
// takes (a multiple of 64, zero when the processor lacks it or the block is
// short); `consumed` gets that count.
uint32_t UpdateFolded(uint32_t crc, const uint8_t* data, size_t length, size_t& consumed);

// The running CRC of one stream: starts at 0, ensures the tables exist.
class Register {
 public:
  Register();
  void Update(const void* data, size_t length);
  uint32_t Value() const { return m_value; }

 private:
  uint32_t m_polynomial;
  uint32_t m_value = 0;
};

}  // namespace xtb::crc
