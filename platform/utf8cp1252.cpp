#include "utf8cp1252.h"

#include <array>

#include "byte_expansion.h"

namespace xtb {
namespace {

constexpr ExpansionTable MakeUtf8Table() {
  ExpansionTable t{};
  for (int b = 0; b < 256; ++b) {
    Expansion& e = t[static_cast<size_t>(b)];
    e.length = static_cast<uint8_t>(PutUtf8(Cp1252CodePoint(static_cast<unsigned char>(b)), e.bytes.data()));
  }
  return t;
}

// The UTF-8 bytes of each 1252 byte.
constexpr ExpansionTable kUtf8 = MakeUtf8Table();

// 1252 bytes of U+0000..U+07FF, the range that nearly all text stays in;
// '?' where 1252 has no byte.
constexpr std::array<char, 0x800> MakeLowTable() {
  std::array<char, 0x800> t{};
  for (char32_t u = 0; u < 0x800; ++u) {
    const int b = Cp1252ByteOf(u);
    t[u] = static_cast<char>(b < 0 ? '?' : b);
  }
  return t;
}

constexpr std::array<char, 0x800> kLow = MakeLowTable();

// The 1252 byte of a code point, '?' where 1252 has none.
char ByteOf(char32_t u) {
  if (u < kLow.size()) return kLow[u];
  const int b = Cp1252ByteOf(u);
  return static_cast<char>(b < 0 ? '?' : b);
}

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }
bool IsSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// The length of the sequence at `s` when its lead byte and all its
// continuation bytes are there, else 0.
size_t CompleteLength(const uint8_t* s, size_t rest) {
  const uint8_t lead = s[0];
  const size_t length = lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
  if (length == 0 || rest < length) return 0;
  for (size_t i = 1; i < length; ++i)
    if (!IsContinuation(s[i])) return 0;
  return length;
}

// The value of a complete sequence of `length` bytes, and whether it is a
// character in its shortest form.
char32_t ValueOf(const uint8_t* s, size_t length, bool& isCharacter) {
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  char32_t u = s[0] & (0x7Fu >> length);
  for (size_t i = 1; i < length; ++i) u = (u << 6) | (s[i] & 0x3F);
  isCharacter = u >= kShortest[length] && u <= 0x10FFFF && !IsSurrogate(u);
  return u;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) { return Expand(text, kUtf8); }

char* PutUtf8AsCp1252(char* out, std::string_view utf8, Utf8Mistakes mistakes) {
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
      continue;
    }
    const auto rest = static_cast<size_t>(end - s);
    if (b >= 0xC2 && b < 0xE0 && rest >= 2 && IsContinuation(s[1])) {  // the common case of a letter
      *out++ = kLow[((b & 0x1F) << 6) | (s[1] & 0x3F)];
      s += 2;
      continue;
    }
    const size_t length = CompleteLength(s, rest);
    bool isCharacter = false;
    const char32_t u = length == 0 ? 0 : ValueOf(s, length, isCharacter);
    *out++ = isCharacter ? ByteOf(u) : '?';
    s += isCharacter || (length != 0 && mistakes == Utf8Mistakes::kMarkEachSequence) ? length : 1;
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8, Utf8Mistakes mistakes) {
  std::string out(utf8.size(), '\0');
  out.resize(static_cast<size_t>(PutUtf8AsCp1252(out.data(), utf8, mistakes) - out.data()));
  return out;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char16_t>(Cp1252CodePoint(static_cast<uint8_t>(text[i])));
  return out;
}

void AppendUtf16AsCp1252(std::string& out, std::u16string_view text) {
  const size_t start = out.size();
  out.resize(start + text.size());
  char* p = out.data() + start;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      *p++ = static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      *p++ = '?';  // a pair: one character beyond the basic plane
      ++i;
    } else {
      *p++ = ByteOf(u);
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
}

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
      *p++ = u'\uFFFD';  // a sequence cut short: not well-formed
      break;
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
}

void AppendUtf16Le(std::string& out, std::u16string_view units) {
  const size_t start = out.size();
  out.resize(start + 2 * units.size());
  char* p = out.data() + start;
  for (const char16_t u : units) {
    *p++ = static_cast<char>(u & 0xFF);
    *p++ = static_cast<char>(u >> 8);
  }
}

std::u16string Utf16LeUnits(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  return units;
}

}  // namespace xtb
