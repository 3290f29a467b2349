// The encodings the writer produces. Text arrives in code page 1252; each
// of its bytes has a fixed form in the output: its bytes in the encoding,
// or a character reference where the encoding cannot hold the character.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace xtb::xml {

struct OutputEncoding {
  std::string declared;  // the name written into the XML declaration
  // The document is assembled in an ASCII-compatible form; UTF-16 output is
  // assembled as UTF-8 and converted once at the end.
  bool utf16 = false;
  // Output bytes of each 1252 byte; empty where only a reference will do.
  std::array<std::string, 256> bytes;
};

// The encoding of that name (ignoring case: UTF-8, UTF-16, ISO-8859-1,
// ISO-8859-15, windows-1252, US-ASCII and their common aliases); false for
// any other name.
bool FindOutputEncoding(std::string_view name, OutputEncoding& encoding);

// UTF-8 (well-formed, as assembled) to UTF-16 little-endian behind a
// byte-order mark.
std::string Utf8ToUtf16Le(std::string_view utf8);

}  // namespace xtb::xml
