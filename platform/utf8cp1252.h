// Conversions between UTF-8 and code page 1252 for the platform layer's own
// texts (compiled-in tables, diagnostics on standard error). Every byte value
// of 1252 survives a round trip: the five bytes that 1252 leaves undefined map
// to the control characters of the same number. Characters that 1252 lacks,
// and malformed UTF-8, become '?'.
#pragma once

#include <string>
#include <string_view>

namespace xtb {

std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view text);

// One character: the code point of a 1252 byte, and the 1252 byte of a code
// point ('?' when 1252 lacks it).
char32_t Cp1252CodePoint(unsigned char byte);
char Cp1252Byte(char32_t codePoint);
// The 1252 byte of a code point, or -1 when 1252 lacks it.
int Cp1252ByteOf(char32_t codePoint);

}  // namespace xtb
