// Code page 1252 text to and from UTF-16LE bytes, as .reg files of the
// Unicode format carry it. Every 1252 byte survives the round trip; UTF-16
// characters that 1252 lacks and unpaired surrogates become '?'.
#pragma once

#include <string>
#include <string_view>

namespace xtb::reg {

std::string Cp1252ToUtf16Le(std::string_view text);
std::string Utf16LeToCp1252(std::string_view bytes);  // an odd last byte is dropped

}  // namespace xtb::reg
