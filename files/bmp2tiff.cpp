#include <xtbasis/bmp2tiff.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "bmp_decoder.h"
#include "os/dynlib.h"
#include "os/file.h"
#include "os/systempath.h"

namespace {

struct Tiff;  // libtiff's TIFF, opaque

// The TIFF fields a page sets.
enum Tag : uint32_t {
  kImageWidth = 256,
  kImageLength = 257,
  kBitsPerSample = 258,
  kCompression = 259,
  kPhotometric = 262,
  kOrientation = 274,
  kSamplesPerPixel = 277,
  kRowsPerStrip = 278,
  kXResolution = 282,
  kYResolution = 283,
  kPlanarConfiguration = 284,
  kResolutionUnit = 296,
  kColorMap = 320,
  kExtraSamples = 338,
};
constexpr int kCompressionLzw = 5;
constexpr int kPhotometricRgb = 2;
constexpr int kPhotometricPalette = 3;
constexpr int kOrientationTopLeft = 1;
constexpr int kPlanarContiguous = 1;
constexpr int kResolutionInch = 2;
constexpr uint16_t kExtraSampleUnspecified = 0;

// The bitmap file's bytes, read whole; refused beyond the decoder's limit
// before anything is allocated.
bool ReadBitmapFile(const char* path, std::string& bytes) {
  xtb::os::File file;
  if (!path || !file.OpenRead(path)) return false;
  const int64_t length = file.Length();
  if (length < 0 || static_cast<uint64_t>(length) > xtb::bmp::kMaxFileBytes) return false;
  bytes.resize(static_cast<size_t>(length));
  return file.ReadExactly(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

struct CBmp2Tiff::Library {
  std::shared_ptr<void> module;
  Tiff* (*TIFFOpen)(const char* path, const char* mode);
  void (*TIFFClose)(Tiff* tiff);
  int (*TIFFSetField)(Tiff* tiff, uint32_t tag, ...);
  void* (*_TIFFmalloc)(int64_t size);
  void (*_TIFFfree)(void* memory);
  int (*TIFFWriteScanline)(Tiff* tiff, void* row, uint32_t index, uint16_t sample);
  int (*TIFFWriteDirectory)(Tiff* tiff);

  bool BindAll() {
    using xtb::os::dynlib::Bind;
    void* handle = module.get();
    return Bind(handle, "TIFFOpen", TIFFOpen) && Bind(handle, "TIFFClose", TIFFClose) &&
           Bind(handle, "TIFFSetField", TIFFSetField) && Bind(handle, "_TIFFmalloc", _TIFFmalloc) &&
           Bind(handle, "_TIFFfree", _TIFFfree) && Bind(handle, "TIFFWriteScanline", TIFFWriteScanline) &&
           Bind(handle, "TIFFWriteDirectory", TIFFWriteDirectory);
  }
};

// The open TIFF file, closed by Close or by the last copy to go; it keeps
// the library loaded until then.
struct CBmp2Tiff::OpenFile {
  std::shared_ptr<const Library> library;
  Tiff* tiff = nullptr;

  bool Close() {
    if (!tiff) return false;
    library->TIFFClose(std::exchange(tiff, nullptr));
    return true;
  }
  ~OpenFile() { Close(); }
};

CBmp2Tiff::CBmp2Tiff(const char* libraryName) : m_libraryName(libraryName ? libraryName : "") {}

bool CBmp2Tiff::Create(const char* path) {
  if (!m_library) {
    auto library = std::make_shared<Library>();
    library->module = xtb::os::dynlib::Open(m_libraryName.c_str());
    if (!library->module || !library->BindAll()) return false;
    m_library = std::move(library);
  }
  if (m_file) m_file->Close();
  m_file.reset();
  Tiff* tiff = path ? m_library->TIFFOpen(xtb::os::SystemPath(path).c_str(), "w") : nullptr;
  if (!tiff) return false;
  m_file = std::make_shared<OpenFile>();
  m_file->library = m_library;
  m_file->tiff = tiff;
  return true;
}

bool CBmp2Tiff::SetResolution(float dpi) {
  m_resolution = dpi;
  return true;
}

bool CBmp2Tiff::AddBmp(const char* bitmapPath) {
  if (!m_file || !m_file->tiff) return false;
  std::string bytes;
  xtb::bmp::Bitmap bitmap;
  if (!ReadBitmapFile(bitmapPath, bytes) || !bitmap.Parse(bytes)) return false;

  const Library& api = *m_library;
  Tiff* const tiff = m_file->tiff;
  const int bits = bitmap.BitsPerPixel();
  const bool indexed = bits <= 8;
  api.TIFFSetField(tiff, kImageWidth, bitmap.Width());
  api.TIFFSetField(tiff, kImageLength, bitmap.Height());
  api.TIFFSetField(tiff, kOrientation, kOrientationTopLeft);
  api.TIFFSetField(tiff, kSamplesPerPixel, indexed ? 1 : bits / 8);
  api.TIFFSetField(tiff, kBitsPerSample, indexed ? bits : 8);
  api.TIFFSetField(tiff, kPlanarConfiguration, kPlanarContiguous);
  api.TIFFSetField(tiff, kPhotometric, indexed ? kPhotometricPalette : kPhotometricRgb);
  api.TIFFSetField(tiff, kCompression, kCompressionLzw);
  if (bits == 32) {
    // Says what the fourth sample is, so that readers need not guess.
    api.TIFFSetField(tiff, kExtraSamples, 1, &kExtraSampleUnspecified);
  }
  if (m_resolution > 0) {
    api.TIFFSetField(tiff, kXResolution, static_cast<double>(m_resolution));
    api.TIFFSetField(tiff, kYResolution, static_cast<double>(m_resolution));
    api.TIFFSetField(tiff, kResolutionUnit, kResolutionInch);
  }
  api.TIFFSetField(tiff, kRowsPerStrip, uint32_t{1});
  if (indexed) {
    // Entries the bitmap does not store stay black.
    std::array<std::array<uint16_t, 256>, 3> map{};
    const auto& palette = bitmap.Palette();
    for (size_t i = 0; i < palette.size(); ++i) {
      map[0][i] = static_cast<uint16_t>(palette[i].red * 0x101);
      map[1][i] = static_cast<uint16_t>(palette[i].green * 0x101);
      map[2][i] = static_cast<uint16_t>(palette[i].blue * 0x101);
    }
    api.TIFFSetField(tiff, kColorMap, map[0].data(), map[1].data(), map[2].data());
  }

  const size_t rowBytes = bitmap.RowBytes();
  auto* row = static_cast<uint8_t*>(api._TIFFmalloc(static_cast<int64_t>(rowBytes)));
  if (!row) return false;
  const size_t pixelBytes = indexed ? 0 : static_cast<size_t>(bits / 8);
  const size_t pixelsEnd = size_t{bitmap.Width()} * pixelBytes;
  for (uint32_t r = 0; r < bitmap.Height(); ++r) {
    bitmap.CopyRow(r, row);
    // Blue-green-red becomes red-green-blue; a fourth byte is opaque.
    for (size_t p = 0; p < pixelsEnd; p += pixelBytes) {
      std::swap(row[p], row[p + 2]);
      if (pixelBytes == 4) row[p + 3] = 0xFF;
    }
    if (api.TIFFWriteScanline(tiff, row, r, 0) < 0) break;
  }
  api._TIFFfree(row);
  return api.TIFFWriteDirectory(tiff) != 0;
}

bool CBmp2Tiff::Close() {
  if (!m_library || !m_file) return false;
  return m_file->Close();
}
