// CBmp2Tiff against independent tools: the bitmaps are written by
// ImageMagick (and turned top-down by a short script), the TIFF files are
// read back with libtiff's tiffdump and tiffinfo for their fields and with
// ImageMagick for their pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <xtbasis/bmp2tiff.h>

#include "scratch_dir.h"

namespace {

struct ShellRun {
  int status;
  std::string output;
};

// Standard output only: the callers that want the messages ask for them.
ShellRun Shell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  ShellRun run{0, ""};
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  run.status = pclose(pipe);
  return run;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// The pixels as 8-bit red, green, blue, read by ImageMagick.
std::string PixelsOf(const std::string& image) {
  const ShellRun run = Shell("convert " + Quoted(image) + " -depth 8 rgb:-");
  EXPECT_EQ(run.status, 0) << image;
  return run.output;
}

// Tag number -> values as tiffdump prints them between < >, one map per page.
using Fields = std::map<int, std::string>;
std::vector<Fields> FieldsOf(const std::string& tiff) {
  const ShellRun run = Shell("tiffdump -m 4 " + Quoted(tiff) + " 2>&1");
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<Fields> pages;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Directory ", 0) == 0) pages.emplace_back();
    const size_t open = line.find(" (");
    const size_t values = line.find('<');
    if (pages.empty() || open == std::string::npos || values == std::string::npos) continue;
    pages.back()[std::stoi(line.substr(open + 2))] = line.substr(values + 1, line.rfind('>') - values - 1);
  }
  return pages;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int32_t Int32At(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return static_cast<int32_t>(value);
}

// Rewrites a bottom-up bitmap with an info header as a top-down one:
// negative height, rows reversed.
void TurnTopDown(const std::string& from, const std::string& to) {
  std::string bytes = ReadFile(from);
  ASSERT_GT(bytes.size(), 54u);
  const size_t offset = static_cast<size_t>(Int32At(bytes, 10));
  const int32_t width = Int32At(bytes, 18);
  const int32_t height = Int32At(bytes, 22);
  const int bits = static_cast<uint8_t>(bytes[28]);
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  ASSERT_GT(height, 0);
  ASSERT_LE(offset + stride * height, bytes.size());
  std::string flipped = bytes;
  for (int32_t r = 0; r < height; ++r)
    flipped.replace(offset + r * stride, stride, bytes, offset + (height - 1 - r) * stride, stride);
  const uint32_t negative = static_cast<uint32_t>(-height);
  for (int i = 0; i < 4; ++i) flipped[22 + i] = static_cast<char>(negative >> (8 * i));
  std::ofstream(to, std::ios::binary) << flipped;
}

struct Variant {
  const char* name;
  const char* options;   // ImageMagick's, from the source picture to the bitmap
  int headerBits;        // bits per pixel the bitmap file declares
  const char* bits;      // BitsPerSample of the page
  const char* samples;   // SamplesPerPixel
  const char* photometric;
  int tolerance;         // per channel against ImageMagick's own reading
};

// Every depth the suite writes, with the info, V5 and core headers.
const Variant kVariants[] = {
    {"bits1", "-type Bilevel -compress None BMP3", 1, "1", "1", "3", 0},
    {"bits4", "-colors 16 -type Palette -compress None BMP3", 4, "4", "1", "3", 0},
    {"bits8", "-colors 200 -type Palette -compress None BMP3", 8, "8", "1", "3", 0},
    {"bits8core", "-colors 100 -type Palette BMP2", 8, "8", "1", "3", 0},
    {"bits24", "-type TrueColor BMP3", 24, "8 8 8", "3", "2", 0},
    {"bits24v5", "-type TrueColor BMP", 24, "8 8 8", "3", "2", 0},
    {"bits32", "-alpha set -type TrueColorAlpha BMP", 32, "8 8 8 8", "4", "2", 0},
    // ImageMagick widens 5 bits by repeating the high bits, the decoder
    // rounds v * 255 / 31: they differ by at most one.
    {"bits16_565", "-define bmp:subtype=RGB565 BMP", 16, "8 8 8", "3", "2", 1},
    {"bits16_555", "-define bmp:subtype=RGB555 BMP", 16, "8 8 8", "3", "2", 1},
};

int HeaderBitsOf(const std::string& bitmap) {
  const std::string bytes = ReadFile(bitmap);
  if (bytes.size() < 30) return -1;
  const bool core = Int32At(bytes, 14) == 12;  // 16-bit fields
  return static_cast<uint8_t>(bytes[core ? 24 : 28]);
}

void ExpectSamePixels(const std::string& expected, const std::string& actual, int tolerance, const std::string& what) {
  ASSERT_EQ(expected.size(), actual.size()) << what;
  ASSERT_FALSE(expected.empty()) << what;
  int worst = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    worst = std::max(worst, std::abs(int{static_cast<uint8_t>(expected[i])} - int{static_cast<uint8_t>(actual[i])}));
  EXPECT_LE(worst, tolerance) << what;
}

class Bmp2TiffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // An odd width, so that every depth has padded rows.
    const ShellRun run = Shell("convert -size 37x23 -seed 7 plasma:fractal " + Quoted(dir.Path("source.png")) + " 2>&1");
    ASSERT_EQ(run.status, 0) << run.output;
  }

  std::string MakeBitmap(const Variant& variant) {
    const std::string path = dir.Path(std::string(variant.name) + ".bmp");
    std::string options = variant.options;
    const size_t format = options.rfind(' ');
    const ShellRun run = Shell("convert " + Quoted(dir.Path("source.png")) + " " + options.substr(0, format) + " " +
                          options.substr(format + 1) + ":" + Quoted(path) + " 2>&1");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(HeaderBitsOf(path), variant.headerBits) << variant.name;
    return path;
  }

  ScratchDir dir;
};

TEST_F(Bmp2TiffTest, PagesMatchTheirBitmapsFieldByFieldAndPixelByPixel) {
  struct Page {
    const Variant* variant;
    std::string bitmap;
    bool resolution;
  };
  std::vector<Page> pages;
  for (const Variant& variant : kVariants) pages.push_back({&variant, MakeBitmap(variant), false});
  // The same bitmaps stored top-down, after SetResolution.
  for (const Variant& variant : kVariants) {
    if (variant.headerBits == 8 && std::string(variant.options).find("BMP2") != std::string::npos) continue;
    const std::string topDown = dir.Path(std::string(variant.name) + "_topdown.bmp");
    TurnTopDown(dir.Path(std::string(variant.name) + ".bmp"), topDown);
    pages.push_back({&variant, topDown, true});
  }

  const std::string tiffPath = dir.Path("pages.tif");
  CBmp2Tiff tiff;
  ASSERT_TRUE(tiff.Create(tiffPath.c_str()));
  for (const Page& page : pages) {
    if (page.resolution) {
      EXPECT_TRUE(tiff.SetResolution(300));
    }
    EXPECT_TRUE(tiff.AddBmp(page.bitmap.c_str())) << page.bitmap;
  }
  ASSERT_TRUE(tiff.Close());
  EXPECT_FALSE(tiff.Close());

  const std::vector<Fields> fields = FieldsOf(tiffPath);
  ASSERT_EQ(fields.size(), pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    const Variant& variant = *pages[i].variant;
    Fields page = fields[i];
    SCOPED_TRACE(pages[i].bitmap);
    EXPECT_EQ(page[256], "37");
    EXPECT_EQ(page[257], "23");
    EXPECT_EQ(page[258], variant.bits);
    EXPECT_EQ(page[259], "5");
    EXPECT_EQ(page[262], variant.photometric);
    EXPECT_EQ(page[274], "1");
    EXPECT_EQ(page[277], variant.samples);
    EXPECT_EQ(page[278], "1");
    EXPECT_EQ(page[284], "1");
    EXPECT_EQ(page.count(320), variant.headerBits <= 8 ? 1u : 0u);
    EXPECT_EQ(page.count(338) ? page[338] : "none", variant.headerBits == 32 ? "0" : "none");
    if (pages[i].resolution) {
      EXPECT_EQ(page[282], "300");
      EXPECT_EQ(page[283], "300");
      EXPECT_EQ(page[296], "2");
    } else {
      EXPECT_EQ(page.count(282) + page.count(283) + page.count(296), 0u);
    }
    ExpectSamePixels(PixelsOf(pages[i].bitmap), PixelsOf(tiffPath + "[" + std::to_string(i) + "]"),
                     variant.tolerance, pages[i].bitmap);
  }
}

TEST_F(Bmp2TiffTest, ColourMapWidensEveryEntry) {
  // A palette that holds orange (255, 128, 0).
  const std::string bitmap = dir.Path("orange.bmp");
  ASSERT_EQ(Shell("convert -size 4x3 xc:'rgb(255,128,0)' -fill blue -draw 'point 1,1' -type Palette -compress None "
                  "BMP3:" + Quoted(bitmap))
                .status,
            0);
  const std::string tiffPath = dir.Path("orange.tif");
  CBmp2Tiff tiff;
  ASSERT_TRUE(tiff.Create(tiffPath.c_str()));
  ASSERT_TRUE(tiff.AddBmp(bitmap.c_str()));
  ASSERT_TRUE(tiff.Close());
  const ShellRun info = Shell("tiffinfo -c " + Quoted(tiffPath));
  EXPECT_NE(info.output.find("65535 32896     0"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("    0     0 65535"), std::string::npos) << info.output;
}

TEST_F(Bmp2TiffTest, RefusedBitmapsLeaveTheFileWhole) {
  const std::string good = MakeBitmap(kVariants[4]);
  const std::string bad = dir.Write("bad.bmp", "BM not really a bitmap");
  const std::string tiffPath = dir.Path("mixed.tif");
  CBmp2Tiff tiff;
  ASSERT_TRUE(tiff.Create(tiffPath.c_str()));
  EXPECT_TRUE(tiff.AddBmp(good.c_str()));
  EXPECT_FALSE(tiff.AddBmp(bad.c_str()));
  EXPECT_FALSE(tiff.AddBmp(dir.Path("missing.bmp").c_str()));
  EXPECT_FALSE(tiff.AddBmp(nullptr));
  EXPECT_TRUE(tiff.AddBmp(good.c_str()));
  ASSERT_TRUE(tiff.Close());
  EXPECT_FALSE(tiff.AddBmp(good.c_str()));
  EXPECT_EQ(FieldsOf(tiffPath).size(), 2u);
  EXPECT_EQ(PixelsOf(tiffPath + "[1]"), PixelsOf(good));
}

TEST_F(Bmp2TiffTest, WithoutLibtiffCreateAndCloseAnswerFalse) {
  for (const char* library : {"libtiff-not-installed.so.6", "libz.so.1" /* loads, lacks the functions */}) {
    CBmp2Tiff tiff(library);
    EXPECT_FALSE(tiff.Create(dir.Path("none.tif").c_str())) << library;
    EXPECT_FALSE(tiff.AddBmp(MakeBitmap(kVariants[4]).c_str()));
    EXPECT_FALSE(tiff.Close()) << library;
  }
  EXPECT_NE(Shell("ls " + Quoted(dir.Path("none.tif"))).status, 0);
}

TEST_F(Bmp2TiffTest, CreateReplacesAndCopiesShareTheFile) {
  const std::string bitmap = MakeBitmap(kVariants[4]);
  const std::string tiffPath = dir.Path("again.tif");
  dir.Write("again.tif", std::string(5000, 'x'));
  CBmp2Tiff tiff;
  EXPECT_FALSE(tiff.Close());  // nothing loaded yet
  EXPECT_FALSE(tiff.Create(dir.Path("no-such-folder/x.tif").c_str()));
  ASSERT_TRUE(tiff.Create(tiffPath.c_str()));
  ASSERT_TRUE(tiff.AddBmp(bitmap.c_str()));
  {
    CBmp2Tiff copy = tiff;
    EXPECT_TRUE(copy.AddBmp(bitmap.c_str()));
    EXPECT_TRUE(copy.Close());
  }
  EXPECT_FALSE(tiff.Close());  // the copy closed it
  EXPECT_EQ(FieldsOf(tiffPath).size(), 2u);

  // A file left open is finished when its last holder goes.
  {
    CBmp2Tiff scoped;
    ASSERT_TRUE(scoped.Create(tiffPath.c_str()));
    ASSERT_TRUE(scoped.AddBmp(bitmap.c_str()));
  }
  EXPECT_EQ(FieldsOf(tiffPath).size(), 1u);
}

}  // namespace
