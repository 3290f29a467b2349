// The bitmap reader on arbitrary bytes. A bitmap it takes must be
// consistent (sizes, depth, palette) and its every row readable; written
// again as a plain bottom-up bitmap with an info header, it must read back
// to the same palette and rows.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bmp_decoder.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Append(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

std::string Row(const xtb::bmp::Bitmap& bitmap, uint32_t row) {
  std::string out(bitmap.RowBytes(), '\0');
  bitmap.CopyRow(row, reinterpret_cast<uint8_t*>(out.data()));
  return out;
}

// The decoded bitmap as the plainest file of its depth.
std::string Rewrite(const xtb::bmp::Bitmap& bitmap) {
  const auto& palette = bitmap.Palette();
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
  std::string out = "BM";
  Append(out, static_cast<uint32_t>(offset + bitmap.RowBytes() * bitmap.Height()), 4);
  Append(out, 0, 4);
  Append(out, offset, 4);
  Append(out, 40, 4);
  Append(out, bitmap.Width(), 4);
  Append(out, bitmap.Height(), 4);
  Append(out, 1, 2);
  Append(out, static_cast<uint32_t>(bitmap.BitsPerPixel()), 2);
  out.append(16, '\0');
  Append(out, static_cast<uint32_t>(palette.size()), 4);
  Append(out, 0, 4);
  for (const auto& colour : palette) {
    out.push_back(static_cast<char>(colour.blue));
    out.push_back(static_cast<char>(colour.green));
    out.push_back(static_cast<char>(colour.red));
    out.push_back('\0');
  }
  for (uint32_t r = bitmap.Height(); r-- > 0;) out += Row(bitmap, r);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  xtb::bmp::Bitmap bitmap;
  if (!bitmap.Parse(file)) {
    Check(bitmap.Width() == 0 && bitmap.Height() == 0 && bitmap.RowBytes() == 0);
    return 0;
  }
  const int bits = bitmap.BitsPerPixel();
  Check(bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32);
  Check(bitmap.Width() > 0 && bitmap.Height() > 0);
  Check(bitmap.RowBytes() == (uint64_t{bitmap.Width()} * bits + 31) / 32 * 4);
  // The rows lie in the file (16-bit ones are handed out half as wide again).
  Check(bitmap.RowBytes() * bitmap.Height() <= size * 2);
  Check(bits > 8 ? bitmap.Palette().empty()
                 : !bitmap.Palette().empty() && bitmap.Palette().size() <= (1u << bits));

  const std::string again = Rewrite(bitmap);
  xtb::bmp::Bitmap reread;
  Check(reread.Parse(again));
  Check(reread.Width() == bitmap.Width() && reread.Height() == bitmap.Height() && reread.BitsPerPixel() == bits);
  Check(reread.Palette().size() == bitmap.Palette().size());
  for (size_t i = 0; i < bitmap.Palette().size(); ++i) {
    const auto& a = bitmap.Palette()[i];
    const auto& b = reread.Palette()[i];
    Check(a.red == b.red && a.green == b.green && a.blue == b.blue);
  }
  for (uint32_t r = 0; r < bitmap.Height(); ++r) Check(Row(reread, r) == Row(bitmap, r));
  return 0;
}
