#include "crc_tables.h"

namespace xtb::crc {

namespace {

uint32_t TableEntry(uint32_t index) {
  uint32_t value = index << 24;
  for (int step = 0; step < 8; ++step)
    value = (value & 0x80000000u) ? (value << 1) ^ kPolynomial : value << 1;
  return value;
}

Tables Build() {
  Tables tables{};
  for (uint32_t i = 0; i < 256; ++i) tables.entries[i] = TableEntry(i);
  for (uint32_t i = 0; i < 256; ++i) tables.slices[0][i] = tables.entries[i];
  for (int k = 1; k < 8; ++k) {
    for (uint32_t i = 0; i < 256; ++i) {
      const uint32_t previous = tables.slices[k - 1][i];
      tables.slices[k][i] = (previous << 8) ^ tables.entries[previous >> 24];
    }
  }
  tables.polynomial = kPolynomial;
  return tables;
}

}  // namespace

const Tables& GetTables() {
  static const Tables tables = Build();  // a once-only guarded initialisation
  return tables;
}

uint32_t MultiplyModP(uint32_t a, uint32_t b) {
  uint32_t product = 0;
  for (int bit = 31; bit >= 0; --bit) {  // Horner over b's coefficients
    product = (product & 0x80000000u) ? (product << 1) ^ kPolynomial : product << 1;
    if ((b >> bit) & 1u) product ^= a;
  }
  return product;
}

uint32_t PowerOfXModP(uint64_t n) {
  uint32_t power = 1;
  uint32_t square = 2;  // x^(2^k)
  for (; n != 0; n >>= 1) {
    if (n & 1u) power = MultiplyModP(power, square);
    square = MultiplyModP(square, square);
  }
  return power;
}

uint32_t Combine(uint32_t first, uint32_t second, uint64_t secondLength) {
  return MultiplyModP(first, PowerOfXModP(8 * secondLength)) ^ second;
}

uint32_t UpdateSliced(uint32_t crc, const uint8_t* data, size_t length) {
  const Tables& t = GetTables();
  while (length >= 8) {
    const uint32_t high = crc ^ (uint32_t{data[0]} << 24 | uint32_t{data[1]} << 16 |
                                 uint32_t{data[2]} << 8 | data[3]);
    crc = t.slices[7][high >> 24] ^ t.slices[6][(high >> 16) & 0xFF] ^
          t.slices[5][(high >> 8) & 0xFF] ^ t.slices[4][high & 0xFF] ^ t.slices[3][data[4]] ^
          t.slices[2][data[5]] ^ t.slices[1][data[6]] ^ t.slices[0][data[7]];
    data += 8;
    length -= 8;
  }
  for (; length > 0; --length, ++data) crc = (crc << 8) ^ t.entries[(*data ^ (crc >> 24)) & 0xFF];
  return crc;
}

Register::Register() : m_polynomial(GetTables().polynomial) {}

void Register::Update(const void* data, size_t length) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t consumed = 0;
  m_value = UpdateFolded(BestFoldEngine(), m_value, bytes, length, consumed);
  m_value = UpdateSliced(m_value, bytes + consumed, length - consumed);
}

}  // namespace xtb::crc
