#include "utf16.h"

#include "../utf8cp1252.h"

namespace xtb::reg {

namespace {

void AppendUnit(std::string& out, char32_t unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>((unit >> 8) & 0xFF);
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Cp1252ToUtf16Le(std::string_view text) {
  // Every 1252 character is in the basic plane: one UTF-8 sequence of at
  // most three bytes becomes one UTF-16 unit.
  const std::string utf8 = Cp1252ToUtf8(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    char32_t cp = b;
    size_t length = 1;
    if (b >= 0xE0) {
      cp = (b & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
      length = 3;
    } else if (b >= 0xC0) {
      cp = (b & 0x1F) << 6 | (utf8[i + 1] & 0x3F);
      length = 2;
    }
    AppendUnit(out, cp);
    i += length;
  }
  return out;
}

std::string Utf16LeToCp1252(std::string_view bytes) {
  std::string utf8;
  const size_t units = bytes.size() / 2;
  auto unitAt = [&](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  for (size_t i = 0; i < units; ++i) {
    char32_t cp = unitAt(i);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = '?';
    }
    AppendUtf8(utf8, cp);
  }
  return Utf8ToCp1252(utf8);
}

}  // namespace xtb::reg
