#include "bmp_decoder.h"

#include <bit>
#include <cstring>

namespace xtb::bmp {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;   // BITMAPCOREHEADER
constexpr uint32_t kInfoHeaderBytes = 40;   // BITMAPINFOHEADER
constexpr uint32_t kV2HeaderBytes = 52;     // with the three colour masks
constexpr uint32_t kV3HeaderBytes = 56;     // and the alpha mask
constexpr uint32_t kV4HeaderBytes = 108;    // BITMAPV4HEADER
constexpr uint32_t kV5HeaderBytes = 124;    // BITMAPV5HEADER
constexpr uint32_t kRgb = 0;                // BI_RGB
constexpr uint32_t kBitfields = 3;          // BI_BITFIELDS

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return static_cast<uint32_t>(U16(p)) | static_cast<uint32_t>(U16(p + 2)) << 16; }

// Bytes of a stored row: width x bits rounded up to 32 bits.
uint64_t RowBytesOf(uint64_t width, int bits) { return (width * static_cast<uint64_t>(bits) + 31) / 32 * 4; }

bool IsKnownHeaderSize(uint32_t size) {
  return size == kCoreHeaderBytes || size == kInfoHeaderBytes || size == kV2HeaderBytes || size == kV3HeaderBytes ||
         size == kV4HeaderBytes || size == kV5HeaderBytes;
}

}  // namespace

bool Bitmap::ParseMasks(uint32_t red, uint32_t green, uint32_t blue) {
  for (auto [channel, mask] : {std::pair{&m_red, red}, {&m_green, green}, {&m_blue, blue}}) {
    if (mask == 0) return false;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    if ((max & (max + 1)) != 0) return false;  // the bits must be contiguous
    if (m_fileBits == 16 && mask > 0xFFFF) return false;
    *channel = {mask, shift, max};
  }
  // Masks of the 32-bit layout itself need no unpacking.
  m_masked = !(m_fileBits == 32 && red == 0x00FF0000 && green == 0x0000FF00 && blue == 0x000000FF);
  return true;
}

uint8_t Bitmap::Sample(uint32_t pixel, const Channel& channel) const {
  const uint64_t value = (pixel & channel.mask) >> channel.shift;
  return static_cast<uint8_t>((value * 255 + channel.max / 2) / channel.max);
}

bool Bitmap::Parse(std::string_view file) {
  *this = Bitmap();
  if (ParseFile(file)) return true;
  *this = Bitmap();
  return false;
}

bool Bitmap::ParseFile(std::string_view file) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  const size_t size = file.size();
  if (size > kMaxFileBytes || size < kFileHeaderBytes + kCoreHeaderBytes) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint32_t pixelOffset = U32(bytes + 10);
  const uint8_t* header = bytes + kFileHeaderBytes;
  const uint32_t headerSize = U32(header);
  if (!IsKnownHeaderSize(headerSize) || kFileHeaderBytes + headerSize > size) return false;

  int64_t width = 0;
  int64_t height = 0;
  uint32_t compression = kRgb;
  uint32_t coloursUsed = 0;
  size_t paletteEntryBytes = 4;
  if (headerSize == kCoreHeaderBytes) {
    width = U16(header + 4);
    height = U16(header + 6);
    m_fileBits = U16(header + 10);
    paletteEntryBytes = 3;
    if (U16(header + 8) != 1) return false;
  } else {
    width = static_cast<int32_t>(U32(header + 4));
    height = static_cast<int32_t>(U32(header + 8));
    m_fileBits = U16(header + 14);
    compression = U32(header + 16);
    coloursUsed = U32(header + 32);
    if (U16(header + 12) != 1) return false;
  }
  m_topDown = height < 0;
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0) return false;
  m_width = static_cast<uint32_t>(width);
  m_height = static_cast<uint32_t>(height);

  size_t paletteStart = kFileHeaderBytes + headerSize;
  switch (m_fileBits) {
    case 1:
    case 4:
    case 8:
    case 24:
      if (compression != kRgb) return false;
      break;
    case 16:
    case 32:
      if (compression == kRgb) {
        if (!(m_fileBits == 16 ? ParseMasks(0x7C00, 0x03E0, 0x001F) : ParseMasks(0xFF0000, 0xFF00, 0xFF)))
          return false;
      } else if (compression == kBitfields) {
        // The masks follow an info header and belong to the later ones.
        const uint8_t* masks = header + kInfoHeaderBytes;
        if (headerSize == kInfoHeaderBytes) paletteStart += 12;
        if (paletteStart > size || !ParseMasks(U32(masks), U32(masks + 4), U32(masks + 8))) return false;
      } else {
        return false;
      }
      break;
    default:
      return false;
  }

  if (m_fileBits <= 8) {
    // A colour count beyond what the pixels address reads no more entries.
    const uint32_t addressable = 1u << m_fileBits;
    const uint32_t entries = coloursUsed == 0 || coloursUsed > addressable ? addressable : coloursUsed;
    const uint64_t paletteEnd = paletteStart + uint64_t{entries} * paletteEntryBytes;
    if (paletteEnd > size || paletteEnd > pixelOffset) return false;
    m_palette.resize(entries);
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* entry = bytes + paletteStart + i * paletteEntryBytes;
      m_palette[i] = {entry[2], entry[1], entry[0]};
    }
  }

  const uint64_t fileRowBytes = RowBytesOf(m_width, m_fileBits);
  if (pixelOffset < paletteStart || pixelOffset > size ||
      fileRowBytes * m_height > size - pixelOffset)
    return false;
  m_pixels = bytes + pixelOffset;
  m_fileRowBytes = static_cast<size_t>(fileRowBytes);
  m_outBits = m_fileBits == 16 ? 24 : m_fileBits;
  m_outRowBytes = static_cast<size_t>(RowBytesOf(m_width, m_outBits));
  return true;
}

void Bitmap::CopyRow(uint32_t row, uint8_t* out) const {
  const uint32_t stored = m_topDown ? row : m_height - 1 - row;
  const uint8_t* in = m_pixels + size_t{stored} * m_fileRowBytes;
  if (!m_masked) {
    std::memcpy(out, in, m_outRowBytes);
    return;
  }
  const int inBytes = m_fileBits / 8;
  const int outBytes = m_outBits / 8;
  uint8_t* pixelOut = out;
  for (uint32_t x = 0; x < m_width; ++x, in += inBytes, pixelOut += outBytes) {
    const uint32_t pixel = inBytes == 2 ? U16(in) : U32(in);
    pixelOut[0] = Sample(pixel, m_blue);
    pixelOut[1] = Sample(pixel, m_green);
    pixelOut[2] = Sample(pixel, m_red);
    if (outBytes == 4) pixelOut[3] = 0xFF;
  }
  std::memset(pixelOut, 0, static_cast<size_t>(out + m_outRowBytes - pixelOut));
}

}  // namespace xtb::bmp
