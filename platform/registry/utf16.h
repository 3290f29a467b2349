// Code page 1252 text to and from UTF-16LE bytes, as .reg files of the
// Unicode format carry it: the platform's conversions (utf8cp1252.h) in the
// file's byte order. Every 1252 byte survives the round trip; UTF-16
// characters that 1252 lacks and unpaired surrogates become '?'.
#pragma once

#include <string>
#include <string_view>

#include "utf8cp1252.h"

namespace xtb::reg {

inline std::string Cp1252ToUtf16Le(std::string_view text) {
  std::string bytes;
  AppendUtf16Le(bytes, Cp1252ToUtf16(text));
  return bytes;
}

// An odd last byte is dropped.
inline std::string Utf16LeToCp1252(std::string_view bytes) {
  std::string text;
  AppendUtf16AsCp1252(text, Utf16LeUnits(bytes));
  return text;
}

}  // namespace xtb::reg
