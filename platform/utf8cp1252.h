// Conversions between UTF-8 and code page 1252 for the platform layer's own
// texts (compiled-in tables, diagnostics on standard error). Every byte value
// of 1252 survives a round trip: the five bytes that 1252 leaves undefined map
// to the control characters of the same number. Characters that 1252 lacks,
// and malformed UTF-8, become '?'.
#pragma once

#include <string>
#include <string_view>

namespace xtb {

std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view text);

// Code points of the bytes 0x80..0x9F (0xA0..0xFF equal their code points).
// The five bytes that 1252 leaves undefined keep their own number. This is
// the library's one copy of the table: the text family builds its
// conversion tables from it at compile time.
inline constexpr char16_t kCp1252HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// One character: the code point of a 1252 byte, and the 1252 byte of a code
// point ('?' when 1252 lacks it).
constexpr char32_t Cp1252CodePoint(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252HighControls[byte - 0x80] : byte;
}

// The 1252 byte of a code point, or -1 when 1252 lacks it.
constexpr int Cp1252ByteOf(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
  for (int i = 0; i < 32; ++i)
    if (kCp1252HighControls[i] == codePoint) return 0x80 + i;
  return -1;
}

char Cp1252Byte(char32_t codePoint);

}  // namespace xtb
