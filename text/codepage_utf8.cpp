// Code page 1252 to UTF-8 and back, table-driven.
#include <array>
#include <string>

#include <xtbasis/osinfo.h>
#include <xtbasis/transcode.h>

#include "byte_expansion.h"
#include "utf8cp1252.h"

namespace {

constexpr xtb::text::ExpansionTable MakeEncodeTable() {
  xtb::text::ExpansionTable t{};
  for (int b = 0; b < 256; ++b) {
    const char32_t u = xtb::Cp1252CodePoint(static_cast<uint8_t>(b));
    xtb::text::Expansion& s = t[static_cast<size_t>(b)];
    if (u < 0x80) {
      s = {1, {static_cast<char>(u), 0, 0}};
    } else if (u < 0x800) {
      s = {2, {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F)), 0}};
    } else {
      s = {3, {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
               static_cast<char>(0x80 | (u & 0x3F))}};
    }
  }
  return t;
}

constexpr xtb::text::ExpansionTable kEncode = MakeEncodeTable();

// Characters U+0080..U+07FF (two-byte sequences) to 1252, '?' where it has none.
constexpr std::array<char, 0x800> MakeTwoByteTable() {
  std::array<char, 0x800> t{};
  for (char32_t u = 0; u < 0x800; ++u) {
    const int b = xtb::Cp1252ByteOf(u);
    t[u] = static_cast<char>(b < 0 ? '?' : b);
  }
  return t;
}

constexpr std::array<char, 0x800> kTwoByte = MakeTwoByteTable();

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// Decodes one well-formed sequence at s[i]; returns its length, or 0 when
// the bytes there are not a well-formed UTF-8 sequence.
size_t DecodeOne(const std::string& s, size_t i, char32_t& u) {
  const auto b0 = static_cast<uint8_t>(s[i]);
  const size_t rest = s.size() - i;
  auto at = [&](size_t k) { return static_cast<uint8_t>(s[i + k]); };
  if (b0 >= 0xC2 && b0 <= 0xDF && rest >= 2 && IsContinuation(at(1))) {
    u = (char32_t(b0 & 0x1F) << 6) | (at(1) & 0x3F);
    return 2;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF && rest >= 3 && IsContinuation(at(1)) && IsContinuation(at(2))) {
    u = (char32_t(b0 & 0x0F) << 12) | (char32_t(at(1) & 0x3F) << 6) | (at(2) & 0x3F);
    if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF)) return 0;  // overlong or surrogate
    return 3;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4 && rest >= 4 && IsContinuation(at(1)) && IsContinuation(at(2)) &&
      IsContinuation(at(3))) {
    u = (char32_t(b0 & 0x07) << 18) | (char32_t(at(1) & 0x3F) << 12) | (char32_t(at(2) & 0x3F) << 6) |
        (at(3) & 0x3F);
    if (u < 0x10000 || u > 0x10FFFF) return 0;
    return 4;
  }
  return 0;
}

}  // namespace

CString AnsiToUTF8(const CString& text) {
  if (text.IsEmpty() || XTGetOSCode() == -1) return text;  // Windows 95 had no such conversion
  return CString(xtb::text::Expand(text.str(), kEncode));
}

CString UTF8ToAnsi(const CString& text) {
  if (text.IsEmpty() || XTGetOSCode() == -1) return text;
  const std::string& in = text.str();
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto b = static_cast<uint8_t>(in[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t u = 0;
    const size_t n = DecodeOne(in, i, u);
    if (n == 0) {
      out += '?';  // one replacement per malformed byte
      ++i;
      continue;
    }
    if (n == 2) {
      out += kTwoByte[u];
    } else {
      const int c = xtb::Cp1252ByteOf(u);
      out += static_cast<char>(c < 0 ? '?' : c);
    }
    i += n;
  }
  return CString(std::move(out));
}
