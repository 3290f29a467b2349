// Conversions between code page 1252, UTF-8 and UTF-16: the library's one
// copy of each, for the platform layer's own texts and for the families
// (the code-page functions of the text family, the XML reader and writer,
// the .reg files). Every byte value of 1252 survives a round trip: the five
// bytes that 1252 leaves undefined map to the control characters of the
// same number. Characters that 1252 lacks become '?', one per character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace xtb {

// Code points of the bytes 0x80..0x9F (0xA0..0xFF equal their code points).
// The five bytes that 1252 leaves undefined keep their own number. This is
// the library's one copy of the table: the text family builds its
// conversion tables from it at compile time.
inline constexpr char16_t kCp1252HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code point of a 1252 byte.
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

// Writes the UTF-8 form of a code point (at most U+10FFFF) and returns its
// length, 1 to 4.
constexpr size_t PutUtf8(char32_t codePoint, char* out) {
  if (codePoint < 0x80) {
    out[0] = static_cast<char>(codePoint);
    return 1;
  }
  constexpr unsigned char kLeadBits[] = {0, 0, 0xC0, 0xE0, 0xF0};
  const size_t length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
  for (size_t i = length - 1; i > 0; --i, codePoint >>= 6) out[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
  out[0] = static_cast<char>(kLeadBits[length] | codePoint);
  return length;
}

// The number of leading bytes below 0x80, eight at a time.
inline size_t AsciiPrefixLength(std::string_view text) {
  size_t n = 0;
  for (uint64_t word; n + 8 <= text.size(); n += 8) {
    std::memcpy(&word, text.data() + n, 8);
    if ((word & 0x8080808080808080u) != 0) break;
  }
  while (n < text.size() && static_cast<uint8_t>(text[n]) < 0x80) ++n;
  return n;
}

// 1252 as UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

// What malformed UTF-8 becomes. Either way a byte that begins no complete
// sequence (a stray continuation byte, a lead byte without its
// continuations) is one '?'. A complete sequence whose value is no
// character (an overlong form, a surrogate, beyond U+10FFFF) is one '?' per
// byte as Windows converts (kMarkEachByte), or one '?' for the whole
// sequence (kMarkEachSequence).
enum class Utf8Mistakes { kMarkEachByte, kMarkEachSequence };

// UTF-8 as 1252. Texts are mostly ASCII: runs of it are copied eight bytes
// at a time.
std::string Utf8ToCp1252(std::string_view utf8, Utf8Mistakes mistakes = Utf8Mistakes::kMarkEachSequence);
// The same written from `out` on, at most as many bytes as `utf8` has; the
// end of what was written.
char* PutUtf8AsCp1252(char* out, std::string_view utf8, Utf8Mistakes mistakes);

// 1252 as UTF-16: one unit per byte, since every 1252 character lies in the
// basic plane.
std::u16string Cp1252ToUtf16(std::string_view text);
// Appends UTF-16 as 1252: a surrogate pair (a character beyond the basic
// plane) and an unpaired surrogate are one '?' each.
void AppendUtf16AsCp1252(std::string& out, std::u16string_view text);

// Appends UTF-8 as UTF-16. The text is taken to be well-formed (as the XML
// parser and the library itself make it): a sequence cut short by the end
// becomes U+FFFD and ends the conversion.
void AppendUtf8AsUtf16(std::u16string& out, std::string_view utf8);

// UTF-16 units as little-endian bytes, and back (an odd last byte is dropped).
void AppendUtf16Le(std::string& out, std::u16string_view units);
std::u16string Utf16LeUnits(std::string_view bytes);

}  // namespace xtb
