// LineBreak2 over arbitrary texts, widths and break characters: each call
// takes a line within the width off the text, and the loop ends.
#include <xtbasis/textfields.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  const int width = static_cast<int8_t>(data[0]);
  const size_t breakLength = std::min<size_t>(data[1] % 4, size - 2);
  const CString breaks(reinterpret_cast<const char*>(data + 2), static_cast<int>(breakLength));
  CString text(reinterpret_cast<const char*>(data + 2 + breakLength), static_cast<int>(size - 2 - breakLength));
  CString line;
  for (int round = 0; !text.IsEmpty(); ++round) {
    const int before = text.GetLength();
    LineBreak2(text, width, line, breaks);
    if (line.GetLength() > (width > 1 ? width : 1)) std::abort();
    if (text.GetLength() > before) std::abort();
    if (text.GetLength() == before && line.IsEmpty()) break;  // a width of 0 or less takes nothing
    if (round > static_cast<int>(size) + 2) std::abort();
  }
  return 0;
}
