#include "unicode.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "utf8cp1252.h"

namespace xtb::xml {
namespace {

// 1252 bytes of U+0000..U+07FF, the range that nearly all text of the
// library's documents stays in; '?' where 1252 has no byte.
std::array<char, 0x800> MakeLowTable() {
  std::array<char, 0x800> t{};
  for (char32_t u = 0; u < 0x800; ++u) {
    t[u] = Cp1252Byte(u);
  }
  return t;
}

const std::array<char, 0x800> kLow = MakeLowTable();

char ByteOf(char32_t u) {
  if (u < kLow.size()) return kLow[u];
  return Cp1252Byte(u);
}

// Writes UTF-8 as 1252 from `out` on, at most as many bytes as `utf8` has,
// and returns the end of what it wrote. Texts are short and mostly ASCII:
// runs of ASCII are copied a word at a time, the rest a character at a
// time, with no call per run.
char* PutUtf8AsCp1252(char* out, std::string_view utf8) {
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const uint8_t* const end = s + utf8.size();
  while (s < end) {
    for (uint64_t word; end - s >= 8; s += 8, out += 8) {
      std::memcpy(&word, s, 8);
      if ((word & 0x8080808080808080u) != 0) break;
      std::memcpy(out, &word, 8);
    }
    if (s == end) break;
    const uint8_t b = *s;
    if (b < 0x80) {
      *out++ = static_cast<char>(b);
      s += 1;
    } else if (b < 0xE0 && s + 1 < end) {
      *out++ = kLow[((b & 0x1F) << 6) | (s[1] & 0x3F)];
      s += 2;
    } else if (b < 0xF0 && s + 2 < end) {
      *out++ = ByteOf((char32_t(b & 0x0F) << 12) | (char32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F));
      s += 3;
    } else {
      *out++ = '?';
      s += 4;
    }
  }
  return out;
}

}  // namespace

void AppendUtf8AsUtf16(std::u16string& out, std::string_view utf8) {
  const size_t start = out.size();
  out.resize(start + utf8.size());  // never more units than bytes
  char16_t* p = out.data() + start;
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const uint8_t* end = s + utf8.size();
  while (s < end) {
    const uint8_t b = *s;
    if (b < 0x80) {
      *p++ = b;
      ++s;
    } else if (b < 0xE0 && s + 1 < end) {
      *p++ = static_cast<char16_t>(((b & 0x1F) << 6) | (s[1] & 0x3F));
      s += 2;
    } else if (b < 0xF0 && s + 2 < end) {
      *p++ = static_cast<char16_t>(((b & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F));
      s += 3;
    } else if (s + 3 < end) {
      const char32_t u = (char32_t(b & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12) |
                         (char32_t(s[2] & 0x3F) << 6) | (s[3] & 0x3F);
      *p++ = static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
      *p++ = static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
      s += 4;
    } else {
      *p++ = u'\uFFFD';  // a sequence cut short: not from the parser
      break;
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
}

void AppendUtf16AsCp1252(std::string& out, const char16_t* text, int length) {
  if (text == nullptr) return;
  size_t count = 0;
  if (length < 0) {
    while (text[count] != 0) ++count;
  } else {
    count = static_cast<size_t>(length);
  }
  const size_t start = out.size();
  out.resize(start + count);
  char* p = out.data() + start;
  for (size_t i = 0; i < count; ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      *p++ = static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      *p++ = '?';  // a pair: one character beyond the basic plane
      ++i;
    } else {
      *p++ = ByteOf(u);
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
}

namespace {

// Appends UTF-8 whose first `ascii` bytes are known to be ASCII: those are
// copied as they are, only the rest is converted.
void AppendPastAscii(std::string& out, std::string_view utf8, size_t ascii) {
  out.append(utf8.substr(0, ascii));
  if (ascii == utf8.size()) return;
  const size_t start = out.size();
  out.resize(start + utf8.size() - ascii);  // never more bytes than in UTF-8
  out.resize(static_cast<size_t>(PutUtf8AsCp1252(out.data() + start, utf8.substr(ascii)) - out.data()));
}

}  // namespace

void AppendUtf8AsCp1252(std::string& out, std::string_view utf8) {
  AppendPastAscii(out, utf8, AsciiPrefixLength(utf8));
}

CString Cp1252String(std::string_view utf8, std::string& scratch) {
  const size_t ascii = AsciiPrefixLength(utf8);
  if (ascii == utf8.size()) return CString(utf8);
  scratch.clear();
  AppendPastAscii(scratch, utf8, ascii);
  return CString(std::string_view(scratch));
}

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char16_t>(Cp1252CodePoint(static_cast<uint8_t>(text[i])));
  return out;
}

}  // namespace xtb::xml
