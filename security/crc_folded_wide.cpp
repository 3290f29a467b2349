// Carry-less multiplication with 512-bit lanes (VPCLMULQDQ): four registers
// of four 16-byte blocks each take 256 bytes a step, every block moved on by
// x^2048 as the 128-bit engine moves its lanes. At the end each of the last
// sixteen blocks is moved by its own distance to the end and all of them are
// added into one 128-bit value congruent to the whole block mod P, which the
// table finishes.
#include "crc_tables.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace xtb::crc {

namespace {

constexpr size_t kRegisters = 4;
constexpr size_t kStride = 64 * kRegisters;
constexpr unsigned kBlocks = 4 * kRegisters;

// Fold constants as the 64-bit elements of a 512-bit register: for each
// 128-bit lane x^d mod P (low half) and x^(d + 64) mod P (high half).
struct WideConstants {
  uint64_t stride[8];             // d = 8 * kStride, the main loop's step
  uint64_t tail[kRegisters][8];   // d = 128 * (15 - block): to the end
};

void SetLane(uint64_t* elements, int lane, unsigned distance) {
  elements[2 * lane] = PowerOfXModP(distance);
  elements[2 * lane + 1] = PowerOfXModP(distance + 64);
}

WideConstants MakeConstants() {
  WideConstants c{};
  for (int lane = 0; lane < 4; ++lane) {
    SetLane(c.stride, lane, 8 * kStride);
    for (unsigned r = 0; r < kRegisters; ++r) SetLane(c.tail[r], lane, 128 * (kBlocks - 1 - (4 * r + lane)));
  }
  return c;
}

__attribute__((target("avx512f,avx512bw"))) __m512i Reverse(__m512i value) {
  // Each lane's bytes in reverse order.
  static constexpr uint8_t kOrder[64] = {15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
                                         15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
                                         15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
                                         15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  return _mm512_shuffle_epi8(value, _mm512_loadu_si512(kOrder));
}

__attribute__((target("avx512f,avx512bw"))) __m512i Load(const uint8_t* data) {
  return Reverse(_mm512_loadu_si512(data));
}

__attribute__((target("avx512f,vpclmulqdq"))) __m512i Fold(__m512i value, __m512i by) {
  return _mm512_xor_si512(_mm512_clmulepi64_epi128(value, by, 0x11), _mm512_clmulepi64_epi128(value, by, 0x00));
}

}  // namespace

__attribute__((target("avx512f,avx512bw,vpclmulqdq"))) uint32_t FoldWide(uint32_t crc, const uint8_t* data,
                                                                       size_t length) {
  static const WideConstants constants = MakeConstants();
  const __m512i stride = _mm512_loadu_si512(constants.stride);
  __m512i registers[kRegisters];
  for (size_t r = 0; r < kRegisters; ++r) registers[r] = Load(data + 64 * r);
  // The running register joins the first 32 bits of the block.
  registers[0] = _mm512_xor_si512(registers[0], _mm512_zextsi128_si512(_mm_set_epi32(static_cast<int>(crc), 0, 0, 0)));
  for (size_t offset = kStride; offset < length; offset += kStride) {
    for (size_t r = 0; r < kRegisters; ++r)
      registers[r] = _mm512_xor_si512(Fold(registers[r], stride), Load(data + offset + 64 * r));
  }
  __m512i sum = _mm512_setzero_si512();
  for (size_t r = 0; r < kRegisters; ++r)
    sum = _mm512_xor_si512(sum, Fold(registers[r], _mm512_loadu_si512(constants.tail[r])));
  // Byte order back per lane, then the four lanes added into one.
  sum = Reverse(sum);
  alignas(64) uint8_t lanes[64];
  _mm512_store_si512(lanes, sum);
  const auto lane = [&lanes](int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes + 16 * i)); };
  uint8_t remainder[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(remainder),
                   _mm_xor_si128(_mm_xor_si128(lane(0), lane(1)), _mm_xor_si128(lane(2), lane(3))));
  return UpdateSliced(0, remainder, sizeof remainder);
}

}  // namespace xtb::crc

#endif
