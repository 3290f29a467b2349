// The library's reader of Windows bitmap files (.bmp): the file header, the
// core, info, V4 and V5 headers, palettes, 1, 4, 8, 16, 24 and 32 bits per
// pixel, BI_RGB and BI_BITFIELDS, rows stored bottom-up or top-down.
//
// A decoded bitmap hands out its rows top to bottom in the row layout of a
// device-independent bitmap: a row is width x bits rounded up to 32 bits;
// indexed pixels with the leftmost pixel in the high bits; 24 bits as blue,
// green, red; 32 bits as blue, green, red and a fourth byte. Bitmaps with
// colour masks are brought into that layout. 16-bit bitmaps (5-5-5, or any
// masks such as 5-6-5) are handed out as 24-bit rows, each channel widened
// to 8 bits (v x 255 / max, rounded), so that their pages keep their colours.
//
// Anything else is refused: run-length, JPEG and PNG compression, sizes or
// offsets outside the file, pixel data shorter than the rows need, colour
// masks that are empty or not contiguous. Nothing is allocated but the
// palette; the rows are read from the file's bytes, which the caller keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace xtb::bmp {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

// The largest file read: the file header counts sizes in 32 bits, and
// anything that big is no page the suite writes.
constexpr size_t kMaxFileBytes = size_t{1} << 30;

class Bitmap {
 public:
  // Reads the headers of `file`, the bytes of a whole .bmp file, which must
  // outlive the object. False (and an empty object) when the file is not a
  // bitmap this reader takes.
  bool Parse(std::string_view file);

  uint32_t Width() const { return m_width; }
  uint32_t Height() const { return m_height; }
  // Of the rows handed out: 1, 4, 8, 24 or 32.
  int BitsPerPixel() const { return m_outBits; }
  // The colours of an indexed bitmap as stored; may hold fewer entries than
  // the pixels can address (those show black, as on Windows).
  const std::vector<Rgb>& Palette() const { return m_palette; }
  // Bytes of a handed-out row.
  size_t RowBytes() const { return m_outRowBytes; }
  // Writes row `row` (0 = top) into `out`, RowBytes() bytes.
  void CopyRow(uint32_t row, uint8_t* out) const;

 private:
  struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // mask >> shift
  };
  bool ParseFile(std::string_view file);
  bool ParseMasks(uint32_t red, uint32_t green, uint32_t blue);
  uint8_t Sample(uint32_t pixel, const Channel& channel) const;

  const uint8_t* m_pixels = nullptr;  // the first stored row
  uint32_t m_width = 0;
  uint32_t m_height = 0;
  bool m_topDown = false;
  int m_fileBits = 0;
  int m_outBits = 0;
  size_t m_fileRowBytes = 0;
  size_t m_outRowBytes = 0;
  bool m_masked = false;  // pixels are unpacked through the channels below
  Channel m_red, m_green, m_blue;
  std::vector<Rgb> m_palette;
};

}  // namespace xtb::bmp
