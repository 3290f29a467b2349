// Two widths: 512-bit steps with AVX-512 VBMI (48 bytes to 64 characters)
// and 256-bit steps with AVX2 (24 to 32), the widest first.
//
// AVX2 encoding: the three bytes a, b, c of a group are shuffled into a 32-bit
// element as b, a, c, b; two masks and one multiply each (the high half of a
// product is a right shift, the low half a left shift) bring the four 6-bit
// values into its four bytes; a byte's offset to its character then comes
// from a 16-entry look-up by value range. Decoding checks each character
// against the alphabet's five ranges, adds the range's offset, and packs the
// 6-bit values with two multiply-adds and a shuffle.
//
// VBMI encoding spreads the groups the same way with a byte permutation,
// picks each 6-bit field at its bit offset with one multishift and maps the
// fields to characters with one permutation through the alphabet. VBMI
// decoding maps every character through a 128-entry table (bit 7 set for
// characters outside the alphabet, and for every byte of 128 or more) and
// packs as AVX2 does. Its loads and stores are masked to the bytes of the
// step, so it reads and writes nothing beyond them.
#include "base64_vector.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace xtb::base64 {

namespace {

__attribute__((target("avx2"))) __m256i InRange(__m256i chars, char low, char high) {
  return _mm256_and_si256(_mm256_cmpgt_epi8(chars, _mm256_set1_epi8(static_cast<char>(low - 1))),
                          _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(high + 1)), chars));
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr __mmask64 kStepBytes = (__mmask64{1} << 48) - 1;
// The zero-masked forms with every byte selected: g++ 12 warns of the plain
// forms' undefined merge source.
constexpr __mmask64 kAllBytes = ~__mmask64{0};

struct WideTables {
  unsigned char spread[64];   // the bytes of group j as b, a, c, b in element j
  unsigned char fields[64];   // bit offsets of the four fields, two elements a 64-bit word
  unsigned char values[128];  // a character's 6-bit value, or 0x80
  unsigned char pack[64];     // three bytes of every 32-bit element, first byte last
  constexpr WideTables() : spread{}, fields{}, values{}, pack{} {
    constexpr unsigned char kFieldOffsets[8] = {10, 4, 22, 16, 42, 36, 54, 48};
    for (int j = 0; j < 16; ++j) {
      const int at[4] = {3 * j + 1, 3 * j, 3 * j + 2, 3 * j + 1};
      for (int k = 0; k < 4; ++k) spread[4 * j + k] = static_cast<unsigned char>(at[k]);
      for (int k = 0; k < 3; ++k) pack[3 * j + k] = static_cast<unsigned char>(4 * j + 2 - k);
    }
    for (int i = 0; i < 64; ++i) fields[i] = kFieldOffsets[i % 8];
    for (auto& value : values) value = 0x80;
    for (int v = 0; v < 64; ++v) values[static_cast<unsigned char>(kAlphabet[v])] = static_cast<unsigned char>(v);
  }
};

constexpr WideTables kWide;

Width ProcessorsWidth() {
  if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi")) return Width::vbmi;
  if (__builtin_cpu_supports("avx2")) return Width::avx2;
  return Width::none;
}

__attribute__((target("avx512bw,avx512vbmi"))) size_t EncodeWide(const unsigned char* in, size_t groups, char* out) {
  const __m512i spread = _mm512_loadu_si512(kWide.spread);
  const __m512i fields = _mm512_loadu_si512(kWide.fields);
  const __m512i alphabet = _mm512_loadu_si512(kAlphabet);
  size_t done = 0;
  for (; groups - done >= 16; done += 16, in += 48, out += 64) {
    const __m512i bytes = _mm512_maskz_loadu_epi8(kStepBytes, in);
    const __m512i values = _mm512_maskz_multishift_epi64_epi8(kAllBytes, fields, _mm512_maskz_permutexvar_epi8(kAllBytes, spread, bytes));
    _mm512_storeu_si512(out, _mm512_maskz_permutexvar_epi8(kAllBytes, values, alphabet));
  }
  return done;
}

__attribute__((target("avx512bw,avx512vbmi"))) size_t DecodeWide(const unsigned char* in, size_t length,
                                                                 unsigned char* out, size_t room) {
  const __m512i low = _mm512_loadu_si512(kWide.values);
  const __m512i high = _mm512_loadu_si512(kWide.values + 64);
  const __m512i pack = _mm512_loadu_si512(kWide.pack);
  size_t done = 0;
  for (; length - done >= 64 && room >= 48; done += 64, in += 64, out += 48, room -= 48) {
    const __m512i chars = _mm512_loadu_si512(in);
    const __m512i values = _mm512_permutex2var_epi8(low, chars, high);
    if (_mm512_movepi8_mask(_mm512_or_si512(chars, values)) != 0) break;
    const __m512i twelve = _mm512_maddubs_epi16(values, _mm512_set1_epi32(0x01400140));
    const __m512i twentyFour = _mm512_madd_epi16(twelve, _mm512_set1_epi32(0x00011000));
    _mm512_mask_storeu_epi8(out, kStepBytes, _mm512_maskz_permutexvar_epi8(kAllBytes, pack, twentyFour));
  }
  return done;
}

__attribute__((target("avx2"))) size_t EncodeNarrow(const unsigned char* in, size_t groups, char* out) {
  const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10,  //
                                          1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  // Offsets from a 6-bit value to its character, by range: A-Z, a-z, then
  // ten digits, '+' and '/'.
  const __m256i offsets = _mm256_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0,  //
                                           65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0);
  size_t done = 0;
  for (; groups - done > 9; done += 8, in += 24, out += 32) {
    const __m256i loaded = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 12)), 1);
    const __m256i groupsBytes = _mm256_shuffle_epi8(loaded, spread);
    const __m256i first = _mm256_mulhi_epu16(_mm256_and_si256(groupsBytes, _mm256_set1_epi32(0x0FC0FC00)),
                                             _mm256_set1_epi32(0x04000040));
    const __m256i second = _mm256_mullo_epi16(_mm256_and_si256(groupsBytes, _mm256_set1_epi32(0x003F03F0)),
                                              _mm256_set1_epi32(0x01000010));
    const __m256i values = _mm256_or_si256(first, second);
    // 0 for A-Z, 1 for a-z, 2 to 13 for the rest.
    const __m256i range = _mm256_sub_epi8(_mm256_subs_epu8(values, _mm256_set1_epi8(51)),
                                          _mm256_cmpgt_epi8(values, _mm256_set1_epi8(25)));
    const __m256i chars = _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, range));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), chars);
  }
  return done;
}

__attribute__((target("avx2"))) size_t DecodeNarrow(const unsigned char* in, size_t length, unsigned char* out,
                                                    size_t room) {
  const __m256i pack = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1,  //
                                        2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  size_t done = 0;
  for (; length - done >= 32 && room >= 24; done += 32, in += 32, out += 24, room -= 24) {
    const __m256i chars = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    const __m256i upper = InRange(chars, 'A', 'Z');
    const __m256i lower = InRange(chars, 'a', 'z');
    const __m256i digit = InRange(chars, '0', '9');
    const __m256i plus = _mm256_cmpeq_epi8(chars, _mm256_set1_epi8('+'));
    const __m256i slash = _mm256_cmpeq_epi8(chars, _mm256_set1_epi8('/'));
    const __m256i valid = _mm256_or_si256(_mm256_or_si256(upper, lower), _mm256_or_si256(_mm256_or_si256(digit, plus), slash));
    if (_mm256_movemask_epi8(valid) != -1) break;
    const __m256i offset = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(upper, _mm256_set1_epi8(-65)), _mm256_and_si256(lower, _mm256_set1_epi8(-71))),
        _mm256_or_si256(_mm256_and_si256(digit, _mm256_set1_epi8(4)),
                        _mm256_or_si256(_mm256_and_si256(plus, _mm256_set1_epi8(19)), _mm256_and_si256(slash, _mm256_set1_epi8(16)))));
    const __m256i values = _mm256_add_epi8(chars, offset);
    // 6-bit pairs to 12 bits, 12-bit pairs to 24 bits, then three bytes each.
    const __m256i twelve = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
    const __m256i twentyFour = _mm256_madd_epi16(twelve, _mm256_set1_epi32(0x00011000));
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(twentyFour, pack), lanes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(bytes, 1));
  }
  return done;
}

}  // namespace

Width VectorWidth() {
  static const Width width = ProcessorsWidth();
  return width;
}

size_t EncodeVector(Width width, const unsigned char* in, size_t groups, char* out) {
  if (width == Width::none) return 0;
  const size_t wide = width == Width::vbmi ? EncodeWide(in, groups, out) : 0;
  return wide + EncodeNarrow(in + 3 * wide, groups - wide, out + 4 * wide);
}

size_t DecodeVector(Width width, const unsigned char* in, size_t length, unsigned char* out, size_t room) {
  if (width == Width::none) return 0;
  const size_t wide = width == Width::vbmi ? DecodeWide(in, length, out, room) : 0;
  const size_t written = wide / 4 * 3;
  return wide + DecodeNarrow(in + wide, length - wide, out + written, room - written);
}

}  // namespace xtb::base64

#else

namespace xtb::base64 {

Width VectorWidth() { return Width::none; }
size_t EncodeVector(Width, const unsigned char*, size_t, char*) { return 0; }
size_t DecodeVector(Width, const unsigned char*, size_t, unsigned char*, size_t) { return 0; }

}  // namespace xtb::base64

#endif
