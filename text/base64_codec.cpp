// Table-driven Base64: three bytes to four characters per step when encoding,
// four characters to three bytes per step when decoding, with one test per
// group for characters that must be skipped.
#include "base64_codec.h"

#include "base64_vector.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace xtb::base64 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kGroupsPerLine = 19;  // 76 characters
constexpr uint32_t kSkip = 0x80000000u;

// The two characters of every 12-bit value, in output order.
struct PairTable {
  std::array<char, 2 * 4096> chars{};
  constexpr PairTable() {
    for (size_t v = 0; v < 4096; ++v) {
      chars[2 * v] = kAlphabet[v >> 6];
      chars[2 * v + 1] = kAlphabet[v & 63];
    }
  }
};

// Per character position in a group, the 6-bit value already shifted into
// place, or kSkip for characters outside the alphabet (NUL included).
struct DecodeTable {
  std::array<std::array<uint32_t, 256>, 4> shifted{};
  std::array<int8_t, 256> value{};
  constexpr DecodeTable() {
    for (auto& row : shifted) row.fill(kSkip);
    value.fill(-1);
    for (uint32_t v = 0; v < 64; ++v) {
      const auto c = static_cast<unsigned char>(kAlphabet[v]);
      value[c] = static_cast<int8_t>(v);
      for (uint32_t k = 0; k < 4; ++k) shifted[k][c] = v << (18 - 6 * k);
    }
  }
};

constexpr PairTable kPairs;
constexpr DecodeTable kDecode;

// Two characters per 12 bits, as one little-endian 16-bit unit.
inline uint64_t Pair(uint64_t bits) {
  uint16_t unit;
  std::memcpy(&unit, kPairs.chars.data() + 2 * bits, 2);
  return unit;
}

inline char* EncodeGroups(const unsigned char* in, size_t groups, char* out) {
  if (groups > 9) {
    const size_t done = EncodeVector(VectorWidth(), in, groups, out);
    in += 3 * done;
    out += 4 * done;
    groups -= done;
  }
  // Two groups per step from one 8-byte load, while 8 input bytes are readable.
  for (; groups >= 3; groups -= 2, in += 6, out += 8) {
    uint64_t word;
    std::memcpy(&word, in, 8);
    const uint64_t v = __builtin_bswap64(word);
    const uint64_t chars = Pair(v >> 52) | Pair((v >> 40) & 0xFFF) << 16 | Pair((v >> 28) & 0xFFF) << 32 |
                           Pair((v >> 16) & 0xFFF) << 48;
    std::memcpy(out, &chars, 8);
  }
  for (; groups > 0; --groups, in += 3, out += 4) {
    const uint32_t v = (uint32_t{in[0]} << 16) | (uint32_t{in[1]} << 8) | in[2];
    const auto chars = static_cast<uint32_t>(Pair(v >> 12) | Pair(v & 0xFFF) << 16);
    std::memcpy(out, &chars, 4);
  }
  return out;
}

inline void PutGroup(uint32_t v, unsigned char* out) {
  out[0] = static_cast<unsigned char>(v >> 16);
  out[1] = static_cast<unsigned char>(v >> 8);
  out[2] = static_cast<unsigned char>(v);
}

}  // namespace

size_t EncodedLength(size_t count, bool lineBreaks) {
  const size_t groups = count / 3;
  const size_t chars = (groups + (count % 3 != 0)) * 4;
  return lineBreaks ? chars + 2 * (groups / kGroupsPerLine) : chars;
}

void EncodeTo(const unsigned char* data, size_t count, bool lineBreaks, char* out) {
  size_t groups = count / 3;
  if (lineBreaks) {
    // Every complete line is followed by CR LF: after the last one too, but
    // only when no shorter line follows.
    for (; groups >= kGroupsPerLine; groups -= kGroupsPerLine, data += 3 * kGroupsPerLine) {
      out = EncodeGroups(data, kGroupsPerLine, out);
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  out = EncodeGroups(data, groups, out);
  data += 3 * groups;
  switch (count % 3) {
    case 1:
      out[0] = kAlphabet[data[0] >> 2];
      out[1] = kAlphabet[(data[0] & 3) << 4];
      out[2] = '=';
      out[3] = '=';
      break;
    case 2:
      out[0] = kAlphabet[data[0] >> 2];
      out[1] = kAlphabet[((data[0] & 3) << 4) | (data[1] >> 4)];
      out[2] = kAlphabet[(data[1] & 15) << 2];
      out[3] = '=';
      break;
    default:
      break;
  }
}

size_t DecodeTo(const char* text, size_t length, unsigned char* out, size_t capacity) {
  const auto* in = reinterpret_cast<const unsigned char*>(text);
  const auto& t = kDecode.shifted;
  size_t i = 0;
  size_t produced = 0;
  uint32_t acc = 0;
  int held = 0;  // characters in acc
  auto emit = [&](unsigned char byte) {
    if (produced < capacity) out[produced] = byte;
    ++produced;
  };
  const Width width = VectorWidth();
  for (;;) {
    // Vector blocks first: a group has just been completed, nothing is held.
    const size_t vectorChars =
        DecodeVector(width, in + i, length - i, out + produced, produced < capacity ? capacity - produced : 0);
    i += vectorChars;
    produced += vectorChars / 4 * 3;
    // Two whole groups of alphabet characters per step, one check for both,
    // six bytes stored as one 8-byte word while the output has room for it.
    while (i + 8 <= length && produced + 8 <= capacity) {
      const unsigned char* g = in + i;
      const uint32_t a = t[0][g[0]] | t[1][g[1]] | t[2][g[2]] | t[3][g[3]];
      const uint32_t b = t[0][g[4]] | t[1][g[5]] | t[2][g[6]] | t[3][g[7]];
      if ((a | b) & kSkip) break;
      const uint64_t word = __builtin_bswap64((uint64_t{a} << 40) | (uint64_t{b} << 16));
      std::memcpy(out + produced, &word, 8);
      produced += 6;
      i += 8;
    }
    while (i + 4 <= length && produced + 3 <= capacity) {
      const uint32_t v = t[0][in[i]] | t[1][in[i + 1]] | t[2][in[i + 2]] | t[3][in[i + 3]];
      if (v & kSkip) break;
      PutGroup(v, out + produced);
      produced += 3;
      i += 4;
    }
    // One character at a time until a group is complete again.
    for (; i < length; ++i) {
      const unsigned char c = in[i];
      if (c == '\0') {
        length = i;
        break;
      }
      const int v = kDecode.value[c];
      if (v < 0) continue;
      acc = (acc << 6) | static_cast<uint32_t>(v);
      if (++held == 4) {
        emit(static_cast<unsigned char>(acc >> 16));
        emit(static_cast<unsigned char>(acc >> 8));
        emit(static_cast<unsigned char>(acc));
        acc = 0;
        held = 0;
        ++i;
        break;
      }
    }
    if (i >= length) break;
  }
  if (held == 2) {
    emit(static_cast<unsigned char>(acc >> 4));
  } else if (held == 3) {
    emit(static_cast<unsigned char>(acc >> 10));
    emit(static_cast<unsigned char>(acc >> 2));
  }
  return produced;
}

}  // namespace xtb::base64
