#include "utf16.h"

#include "utf8cp1252.h"

namespace xtb::reg {

// Every 1252 character lies in the basic plane: one byte, one UTF-16 unit.
std::string Cp1252ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    const char32_t unit = Cp1252CodePoint(static_cast<unsigned char>(c));
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

std::string Utf16LeToCp1252(std::string_view bytes) {
  const size_t units = bytes.size() / 2;
  auto unitAt = [&](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  auto isSurrogate = [](char32_t unit, char32_t first) { return unit >= first && unit < first + 0x400; };
  std::string out;
  out.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    const char32_t unit = unitAt(i);
    // A pair stands for a character beyond the basic plane, which 1252 lacks.
    if (isSurrogate(unit, 0xD800) && i + 1 < units && isSurrogate(unitAt(i + 1), 0xDC00)) ++i;
    out += unit >= 0xD800 && unit < 0xE000 ? '?' : Cp1252Byte(unit);
  }
  return out;
}

}  // namespace xtb::reg
