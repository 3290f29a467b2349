// UTF8ToAnsi over arbitrary bytes: never longer than its input, and every
// code page 1252 text survives the way through UTF-8 and back, and through
// UTF-16 (directly, from its UTF-8, and as little-endian bytes) alike.
// Marking a malformed sequence once never gives more marks than marking
// each of its bytes.
#include <xtbasis/transcode.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "utf8cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const CString input(reinterpret_cast<const char*>(data), static_cast<int>(size));
  const CString ansi = UTF8ToAnsi(input);
  if (ansi.GetLength() > input.GetLength()) std::abort();
  if (UTF8ToAnsi(AnsiToUTF8(input)) != input) std::abort();
  if (UTF8ToAnsi(AnsiToUTF8(ansi)) != ansi) std::abort();

  if (xtb::Utf8ToCp1252(input.view()).size() > ansi.str().size()) std::abort();
  const std::string utf8 = AnsiToUTF8(input).str();
  if (xtb::Utf8ToCp1252(utf8) != input.str()) std::abort();
  std::u16string units;
  xtb::AppendUtf8AsUtf16(units, utf8);
  if (units != xtb::Cp1252ToUtf16(input.view())) std::abort();
  std::string back;
  xtb::AppendUtf16AsCp1252(back, units);
  if (back != input.str()) std::abort();
  std::string little;
  xtb::AppendUtf16Le(little, units);
  if (xtb::Utf16LeUnits(little) != units) std::abort();
  return 0;
}
