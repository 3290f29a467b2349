// The bitmap reader on hand-made files: the layouts the tools around do
// not write, and malformed or hostile headers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bmp_decoder.h"

namespace {

using xtb::bmp::Bitmap;

void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
  Put16(b, at, static_cast<uint16_t>(v & 0xFFFF));
  Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// A file with an info header (40 bytes, or `headerSize`), `extra` bytes of
// masks or palette after it, and `pixels` after those.
std::string MakeFile(int32_t width, int32_t height, uint16_t bits, uint32_t compression, const std::string& extra,
                     const std::string& pixels, uint32_t coloursUsed = 0, uint32_t headerSize = 40) {
  std::string b(14 + headerSize, '\0');
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 10, static_cast<uint32_t>(14 + headerSize + extra.size()));
  Put32(b, 14, headerSize);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, bits);
  Put32(b, 30, compression);
  Put32(b, 46, coloursUsed);
  b += extra;
  b += pixels;
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

std::string Row(const Bitmap& bitmap, uint32_t row) {
  std::string out(bitmap.RowBytes(), '?');
  bitmap.CopyRow(row, reinterpret_cast<uint8_t*>(out.data()));
  return out;
}

std::string Masks(uint32_t red, uint32_t green, uint32_t blue) {
  std::string m(12, '\0');
  Put32(m, 0, red);
  Put32(m, 4, green);
  Put32(m, 8, blue);
  return m;
}

TEST(BmpDecoder, ShortPaletteKeepsItsEntriesAndRowsComeTopFirst) {
  // Two palette entries, 8 bits, 3 x 2 pixels stored bottom-up.
  const std::string palette("\x00\x80\xFF\x00" "\x10\x20\x30\x00", 8);
  const std::string pixels("\x01\x00\x07\x00" "\x00\x01\x00\x00", 8);
  const std::string file = MakeFile(3, 2, 8, 0, palette, pixels, 2);
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.Parse(file));
  EXPECT_EQ(bitmap.Width(), 3u);
  EXPECT_EQ(bitmap.Height(), 2u);
  EXPECT_EQ(bitmap.BitsPerPixel(), 8);
  ASSERT_EQ(bitmap.Palette().size(), 2u);
  EXPECT_EQ(bitmap.Palette()[0].red, 0xFF);
  EXPECT_EQ(bitmap.Palette()[0].green, 0x80);
  EXPECT_EQ(bitmap.Palette()[0].blue, 0x00);
  EXPECT_EQ(Row(bitmap, 0), std::string("\x00\x01\x00\x00", 4));
  // Index 7 points past the palette: handed out as it is (it shows black).
  EXPECT_EQ(Row(bitmap, 1), std::string("\x01\x00\x07\x00", 4));
}

TEST(BmpDecoder, SixteenBitsBecomeTwentyFourWithWidenedChannels) {
  // 5-6-5 through bit fields, top-down, 2 x 1: white and pure green.
  std::string pixels("\xFF\xFF\xE0\x07", 4);
  Bitmap bitmap;
  std::string file = MakeFile(2, -1, 16, 3, Masks(0xF800, 0x07E0, 0x001F), pixels);
  ASSERT_TRUE(bitmap.Parse(file));
  EXPECT_EQ(bitmap.BitsPerPixel(), 24);
  EXPECT_EQ(bitmap.RowBytes(), 8u);
  EXPECT_EQ(Row(bitmap, 0), std::string("\xFF\xFF\xFF\x00\xFF\x00\x00\x00", 8));

  // BI_RGB 16 bits is 5-5-5: red 16 of 31 becomes 132 (16 * 255 / 31 rounded).
  pixels = std::string("\x00\x40\x00\x00", 4);
  file = MakeFile(1, 1, 16, 0, "", pixels);
  ASSERT_TRUE(bitmap.Parse(file));
  EXPECT_EQ(Row(bitmap, 0), std::string("\x00\x00\x84\x00", 4));
}

TEST(BmpDecoder, ThirtyTwoBitMasksAreBroughtIntoBlueGreenRed) {
  // Red in the low byte, blue in the high one.
  const std::string pixels("\x11\x22\x33\x44", 4);
  const std::string file = MakeFile(1, 1, 32, 3, Masks(0x000000FF, 0x0000FF00, 0x00FF0000), pixels);
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.Parse(file));
  EXPECT_EQ(bitmap.BitsPerPixel(), 32);
  EXPECT_EQ(Row(bitmap, 0), std::string("\x33\x22\x11\xFF", 4));
  // A V5 header holds the masks itself.
  std::string v5 = MakeFile(1, 1, 32, 3, "", pixels, 0, 124);
  Put32(v5, 54, 0x00FF0000);
  Put32(v5, 58, 0x0000FF00);
  Put32(v5, 62, 0x000000FF);
  ASSERT_TRUE(bitmap.Parse(v5));
  EXPECT_EQ(Row(bitmap, 0), pixels);
}

TEST(BmpDecoder, RefusesMalformedAndHostileFiles) {
  const std::string palette(16 * 4, '\x40');
  const std::string good = MakeFile(5, 3, 4, 0, palette, std::string(12, '\x12'));
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.Parse(good));
  ASSERT_EQ(bitmap.Palette().size(), 16u);

  const std::vector<std::pair<const char*, std::function<void(std::string&)>>> damages = {
      {"not BM", [](std::string& b) { b[1] = 'A'; }},
      {"truncated rows", [](std::string& b) { b.pop_back(); }},
      {"header only", [](std::string& b) { b.resize(30); }},
      {"huge width", [](std::string& b) { Put32(b, 18, 0x7FFFFFFF); }},
      {"huge height", [](std::string& b) { Put32(b, 22, 0x40000000); }},
      {"most negative height", [](std::string& b) { Put32(b, 22, 0x80000000); }},
      {"zero width", [](std::string& b) { Put32(b, 18, 0); }},
      {"negative width", [](std::string& b) { Put32(b, 18, static_cast<uint32_t>(-5)); }},
      {"zero height", [](std::string& b) { Put32(b, 22, 0); }},
      {"two planes", [](std::string& b) { Put16(b, 26, 2); }},
      {"seven bits", [](std::string& b) { Put16(b, 28, 7); }},
      {"run-length", [](std::string& b) { Put32(b, 30, 2); }},
      {"bit fields on a palette", [](std::string& b) { Put32(b, 30, 3); }},
      {"unknown header size", [](std::string& b) { Put32(b, 14, 64); }},
      {"header beyond the file", [](std::string& b) { Put32(b, 14, 124); }},
      {"pixels beyond the file", [](std::string& b) { Put32(b, 10, 0xFFFFFFF0); }},
      {"pixels inside the palette", [](std::string& b) { Put32(b, 10, 60); }},
      {"pixels inside the header", [](std::string& b) { Put32(b, 10, 20); }},
  };
  for (const auto& [name, damage] : damages) {
    std::string file = good;
    damage(file);
    EXPECT_FALSE(bitmap.Parse(file)) << name;
    EXPECT_EQ(bitmap.Width(), 0u) << name;
  }

  // Colour masks that are empty, scattered or wider than 16 bits.
  const std::string pixels(4, '\0');
  for (const std::string& masks :
       {Masks(0, 0xFF00, 0xFF), Masks(0xF0F00000, 0xFF00, 0xFF), Masks(0x1F0000, 0x7E0, 0x1F)}) {
    const uint16_t bits = masks == Masks(0x1F0000, 0x7E0, 0x1F) ? 16 : 32;
    EXPECT_FALSE(bitmap.Parse(MakeFile(1, 1, bits, 3, masks, pixels)));
  }
  // Masks cut off by the end of the file.
  EXPECT_FALSE(bitmap.Parse(MakeFile(1, 1, 32, 3, "", "")));
}

}  // namespace
