#include "screenshot_png.h"

#include <png.h>

#include <cstring>

namespace xtb {

std::string EncodePng(const ScreenPixels& pixels) {
  if (pixels.width <= 0 || pixels.height <= 0 ||
      pixels.rgb.size() != static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height) * 3) {
    return {};
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pixels.width);
  image.height = static_cast<png_uint_32>(pixels.height);
  image.format = PNG_FORMAT_RGB;
  // The first call measures, the second writes.
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.rgb.data(), 0, nullptr)) return {};
  std::string png(size, '\0');
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return {};
  }
  png.resize(size);
  return png;
}

}  // namespace xtb
