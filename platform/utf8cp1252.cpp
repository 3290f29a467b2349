#include "utf8cp1252.h"

#include <cstdint>

namespace xtb {
namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `pos`, advancing it; malformed input gives
// U+FFFD and consumes one byte.
char32_t DecodeOne(std::string_view s, size_t& pos) {
  const auto lead = static_cast<unsigned char>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return 0xFFFD;
  }
  if (pos + static_cast<size_t>(extra) > s.size()) return 0xFFFD;
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(s[pos + static_cast<size_t>(i)]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (next & 0x3F);
  }
  pos += static_cast<size_t>(extra);
  const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
  return cp < minimum || cp > 0x10FFFF || surrogate ? 0xFFFD : cp;
}

}  // namespace

char Cp1252Byte(char32_t cp) {
  const int byte = Cp1252ByteOf(cp);
  return static_cast<char>(byte < 0 ? '?' : byte);
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) out += Cp1252Byte(DecodeOne(utf8, pos));
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, Cp1252CodePoint(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace xtb
