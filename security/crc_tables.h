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

// Register values are polynomials mod P: bit i is the coefficient of x^i.
uint32_t MultiplyModP(uint32_t a, uint32_t b);
// x^n mod P, in log(n) steps.
uint32_t PowerOfXModP(uint64_t n);
// The CRC of two blocks one after the other, from the CRC of each and the
// second one's length: the first register is carried across the second
// block's bits (the CRC is linear, its register starts at 0).
uint32_t Combine(uint32_t first, uint32_t second, uint64_t secondLength);

// Continues `crc` over the bytes with the slice tables (eight bytes a step).
uint32_t UpdateSliced(uint32_t crc, const uint8_t* data, size_t length);

// The carry-less multiply engines: 128-bit lanes (PCLMULQDQ) and 512-bit
// lanes (VPCLMULQDQ with AVX-512).
enum class FoldEngine { none, pclmul, vpclmul };

// The widest engine this processor has, looked up once.
FoldEngine BestFoldEngine();

// Continues `crc` over as many leading bytes as `engine` takes (a multiple
// of its stride, zero for none or a block too short for it); `consumed` gets
// that count. The engine must be one the processor has.
uint32_t UpdateFolded(FoldEngine engine, uint32_t crc, const uint8_t* data, size_t length, size_t& consumed);

// The 512-bit engine on blocks of a multiple of 256 bytes, at least 512.
uint32_t FoldWide(uint32_t crc, const uint8_t* data, size_t length);

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
