#include "screenshot.h"

#include "x11.h"

namespace xtb {
namespace {

// A request the server refuses makes XGetImage give null; libX11's default
// handler would end the process instead.
int IgnoreError(x11::Display*, x11::ErrorEvent*) { return 0; }

// One colour channel of a TrueColor pixel, scaled to 8 bits.
uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = __builtin_ctzl(mask);
  const unsigned long top = mask >> shift;
  return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / top);
}

}  // namespace

bool CaptureScreen(ScreenPixels& pixels) {
  const x11::Connection connection;
  if (!connection.IsOpen()) return false;
  const x11::Api& api = connection.api();
  x11::Display* display = connection.display();
  const x11::Window root = api.DefaultRootWindow(display);
  x11::WindowAttributes attributes{};
  if (api.GetWindowAttributes(display, root, &attributes) == 0 || attributes.width <= 0 || attributes.height <= 0) {
    return false;
  }
  const x11::Api::ErrorHandler previous = api.SetErrorHandler(IgnoreError);
  x11::Image* image = api.GetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                                   static_cast<unsigned>(attributes.height), x11::kAllPlanes, x11::kZPixmap);
  api.Sync(display, 0);
  api.SetErrorHandler(previous);
  if (image == nullptr) return false;
  pixels.width = image->width;
  pixels.height = image->height;
  pixels.rgb.resize(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height) * 3);
  uint8_t* out = pixels.rgb.data();
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const unsigned long pixel = image->f.get_pixel(image, x, y);
      *out++ = Channel(pixel, image->red_mask);
      *out++ = Channel(pixel, image->green_mask);
      *out++ = Channel(pixel, image->blue_mask);
    }
  }
  image->f.destroy_image(image);
  return true;
}

}  // namespace xtb
