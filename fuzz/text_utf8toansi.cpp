// UTF8ToAnsi over arbitrary bytes: never longer than its input, and every
// code page 1252 text survives the way through UTF-8 and back.
#include <xtbasis/transcode.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const CString input(reinterpret_cast<const char*>(data), static_cast<int>(size));
  const CString ansi = UTF8ToAnsi(input);
  if (ansi.GetLength() > input.GetLength()) std::abort();
  if (UTF8ToAnsi(AnsiToUTF8(input)) != input) std::abort();
  if (UTF8ToAnsi(AnsiToUTF8(ansi)) != ansi) std::abort();
  return 0;
}
