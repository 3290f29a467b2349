// Carry-less multiplication for long blocks, 128 bits a lane, and the choice
// of engine. Bytes are read most
// significant bit first, so a 16-byte block reversed into an XMM register is
// the polynomial of that block. Four accumulators run 64 bytes apart; each
// step replaces A(x) by A(x) * x^512, reduced far enough (mod P) to fit 128
// bits: A_hi * (x^576 mod P) + A_lo * (x^512 mod P). At the end the four are
// folded into one 128-bit value congruent to the whole block mod P, whose
// CRC (from register 0) is the block's CRC; the table finishes it.
#include "crc_tables.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace xtb::crc {

namespace {

constexpr size_t kLanes = 4;
constexpr size_t kStride = 16 * kLanes;

// Constants for moving a 128-bit accumulator `bits` further on.
struct FoldConstant {
  uint64_t high;  // x^(bits + 64) mod P, applied to the upper 64 bits
  uint64_t low;   // x^bits mod P, applied to the lower 64 bits
};

FoldConstant MakeConstant(unsigned bits) { return {PowerOfXModP(bits + 64), PowerOfXModP(bits)}; }

struct Constants {
  FoldConstant stride = MakeConstant(8 * kStride);
  FoldConstant by384 = MakeConstant(384);
  FoldConstant by256 = MakeConstant(256);
  FoldConstant by128 = MakeConstant(128);
};

const Constants& GetConstants() {
  static const Constants constants;
  return constants;
}

__attribute__((target("pclmul,ssse3"))) __m128i Reverse(__m128i value) {
  const __m128i order = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  return _mm_shuffle_epi8(value, order);
}

__attribute__((target("pclmul,ssse3"))) __m128i Load(const uint8_t* data) {
  return Reverse(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data)));
}

__attribute__((target("pclmul,ssse3"))) __m128i Fold(__m128i value, const FoldConstant& by) {
  const __m128i k = _mm_set_epi64x(static_cast<long long>(by.high), static_cast<long long>(by.low));
  return _mm_xor_si128(_mm_clmulepi64_si128(value, k, 0x11), _mm_clmulepi64_si128(value, k, 0x00));
}

__attribute__((target("pclmul,ssse3"))) uint32_t FoldBlocks(uint32_t crc, const uint8_t* data,
                                                            size_t length) {
  const Constants& c = GetConstants();
  __m128i lanes[kLanes];
  for (size_t i = 0; i < kLanes; ++i) lanes[i] = Load(data + 16 * i);
  // The running register joins the first 32 bits of the block.
  lanes[0] = _mm_xor_si128(lanes[0], _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
  for (size_t offset = kStride; offset < length; offset += kStride) {
    for (size_t i = 0; i < kLanes; ++i)
      lanes[i] = _mm_xor_si128(Fold(lanes[i], c.stride), Load(data + offset + 16 * i));
  }
  const __m128i folded = _mm_xor_si128(_mm_xor_si128(Fold(lanes[0], c.by384), Fold(lanes[1], c.by256)),
                                       _mm_xor_si128(Fold(lanes[2], c.by128), lanes[3]));
  uint8_t remainder[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(remainder), Reverse(folded));
  return UpdateSliced(0, remainder, sizeof remainder);
}

FoldEngine ProcessorsEngine() {
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("vpclmulqdq"))
    return FoldEngine::vpclmul;
  if (__builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3")) return FoldEngine::pclmul;
  return FoldEngine::none;
}

// Below this the wide engine's set-up and final reduction cost more than
// its wider steps save.
constexpr size_t kWideFrom = 1024;
constexpr size_t kWideStride = 256;

}  // namespace

FoldEngine BestFoldEngine() {
  static const FoldEngine engine = ProcessorsEngine();
  return engine;
}

uint32_t UpdateFolded(FoldEngine engine, uint32_t crc, const uint8_t* data, size_t length, size_t& consumed) {
  consumed = 0;
  if (engine == FoldEngine::vpclmul && length >= kWideFrom) {
    consumed = length - length % kWideStride;
    return FoldWide(crc, data, consumed);
  }
  if (engine == FoldEngine::none || length < 4 * kStride) return crc;
  consumed = length - length % kStride;
  return FoldBlocks(crc, data, consumed);
}

}  // namespace xtb::crc

#else

namespace xtb::crc {

FoldEngine BestFoldEngine() { return FoldEngine::none; }

uint32_t UpdateFolded(FoldEngine, uint32_t crc, const uint8_t*, size_t, size_t& consumed) {
  consumed = 0;
  return crc;
}

}  // namespace xtb::crc

#endif
