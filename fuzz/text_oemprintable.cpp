// OemToPrintableOem over arbitrary texts and modes: the result holds no
// control byte, grows at most threefold, is its own fixed point, and the
// returned length is the text's.
#include <xtbasis/textfilters.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const int mode = static_cast<int8_t>(data[0]) % 5;  // -4..4: the unsettled modes too
  CString text(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
  const int length = OemToPrintableOem(text, mode);
  if (length != text.GetLength() || length > 3 * static_cast<int>(size - 1)) std::abort();
  for (const char c : text.str()) {
    const auto b = static_cast<uint8_t>(c);
    if ((b & 0x7F) < 0x21 && b != ' ') std::abort();
    if (b == 0x7F) std::abort();
  }
  CString again = text;
  OemToPrintableOem(again, mode);
  if (again != text) std::abort();
  return 0;
}
