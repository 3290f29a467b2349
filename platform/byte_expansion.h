// Byte-for-bytes rewriting through a table: each byte of the input stands
// for one to three bytes of the output. The conversion of code page 1252 to
// UTF-8 and the text family's printable-text conversions build such tables
// at compile time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace xtb {

struct Expansion {
  uint8_t length;
  std::array<char, 3> bytes;
};

using ExpansionTable = std::array<Expansion, 256>;

// Writes all three bytes of every entry and moves on by its length, so the
// loop has no branch per byte; the output is cut to size at the end.
inline std::string Expand(std::string_view in, const ExpansionTable& table) {
  std::string out(in.size() * 3, '\0');
  char* p = out.data();
  for (const char c : in) {
    const Expansion& e = table[static_cast<uint8_t>(c)];
    p[0] = e.bytes[0];
    p[1] = e.bytes[1];
    p[2] = e.bytes[2];
    p += e.length;
  }
  out.resize(static_cast<size_t>(p - out.data()));
  return out;
}

}  // namespace xtb
