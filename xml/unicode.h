// Conversions between the library's 8-bit code page 1252, UTF-8 (what the
// XML parser hands out) and UTF-16 (the text of the SAX interfaces).
// Characters that 1252 lacks become '?', one per character.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include <xtbasis/platform/cstring.h>

#include "utf8cp1252.h"

namespace xtb::xml {

// Appends UTF-8 (as the parser delivers it: well-formed) as UTF-16.
void AppendUtf8AsUtf16(std::u16string& out, std::string_view utf8);
// Appends UTF-16 as 1252; `length` < 0 reads up to the terminating NUL.
void AppendUtf16AsCp1252(std::string& out, const char16_t* text, int length);
// Appends UTF-8 as 1252.
void AppendUtf8AsCp1252(std::string& out, std::string_view utf8);
// UTF-8 as a 1252 string made in one allocation; `scratch` holds the
// converted bytes on the way when the text is not plain ASCII.
CString Cp1252String(std::string_view utf8, std::string& scratch);
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
std::u16string Cp1252ToUtf16(std::string_view text);

}  // namespace xtb::xml
