#include "outputencoding.h"

#include <cstdint>
#include <utility>

#include "utf8cp1252.h"

namespace xtb::xml {
namespace {

enum class Family { kUtf8, kUtf16, kLatin1, kLatin9, kCp1252, kAscii };

struct Name {
  const char* name;
  Family family;
};

constexpr Name kNames[] = {
    {"UTF-8", Family::kUtf8},          {"UTF8", Family::kUtf8},          {"UTF-16", Family::kUtf16},
    {"ISO-8859-1", Family::kLatin1},   {"ISO_8859-1", Family::kLatin1},  {"ISO8859-1", Family::kLatin1},
    {"latin1", Family::kLatin1},       {"ISO-8859-15", Family::kLatin9}, {"ISO_8859-15", Family::kLatin9},
    {"latin-9", Family::kLatin9},      {"windows-1252", Family::kCp1252}, {"cp1252", Family::kCp1252},
    {"US-ASCII", Family::kAscii},      {"ASCII", Family::kAscii},
};

bool SameName(std::string_view a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != 0; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if ((x >= 'a' && x <= 'z' ? x - 32 : x) != (y >= 'a' && y <= 'z' ? y - 32 : y)) return false;
  }
  return i == a.size() && b[i] == 0;
}

// The byte of a code point in ISO-8859-15, or -1.
int Latin9Byte(char32_t u) {
  static constexpr std::pair<char32_t, int> kMoved[] = {
      {0x20AC, 0xA4}, {0x0160, 0xA6}, {0x0161, 0xA8}, {0x017D, 0xB4},
      {0x017E, 0xB8}, {0x0152, 0xBC}, {0x0153, 0xBD}, {0x0178, 0xBE}};
  for (const auto& [code, byte] : kMoved)
    if (code == u) return byte;
  const bool replaced = u == 0xA4 || u == 0xA6 || u == 0xA8 || u == 0xB4 || u == 0xB8 || (u >= 0xBC && u <= 0xBE);
  return u < 0x100 && !replaced ? static_cast<int>(u) : -1;
}

// The output bytes of one character; empty when the encoding lacks it.
std::string Encode(Family family, char32_t u) {
  std::string out;
  switch (family) {
    case Family::kUtf8:
    case Family::kUtf16: {
      char bytes[4];
      out.append(bytes, PutUtf8(u, bytes));
      break;
    }
    case Family::kLatin1:
      if (u < 0x100) out += static_cast<char>(u);
      break;
    case Family::kLatin9:
      if (const int b = Latin9Byte(u); b >= 0) out += static_cast<char>(b);
      break;
    case Family::kCp1252: {
      // The five bytes 1252 leaves undefined are not characters of it for
      // other readers: those go out as references.
      const int b = Cp1252ByteOf(u);
      if (b >= 0 && (u < 0x80 || u > 0x9F)) out += static_cast<char>(b);
      break;
    }
    case Family::kAscii:
      if (u < 0x80) out += static_cast<char>(u);
      break;
  }
  return out;
}

}  // namespace

bool FindOutputEncoding(std::string_view name, OutputEncoding& encoding) {
  for (const Name& known : kNames) {
    if (!SameName(name, known.name)) continue;
    encoding.declared = std::string(name);
    encoding.utf16 = known.family == Family::kUtf16;
    for (int b = 0; b < 256; ++b)
      encoding.bytes[static_cast<size_t>(b)] = Encode(known.family, Cp1252CodePoint(static_cast<unsigned char>(b)));
    return true;
  }
  return false;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::u16string units;
  units.reserve(utf8.size());
  AppendUtf8AsUtf16(units, utf8);
  std::string out = "\xFF\xFE";  // the byte-order mark
  AppendUtf16Le(out, units);
  return out;
}

}  // namespace xtb::xml
