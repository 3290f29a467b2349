// The screen's picture as a PNG file: lossless, compressed (a desktop of
// flat colours shrinks to a small part of its pixels' size) and opened by
// every image viewer and support tool.
#pragma once

#include <string>

#include "screenshot.h"

namespace xtb {

// The PNG file of `pixels` (8-bit RGB); empty when it cannot be encoded.
std::string EncodePng(const ScreenPixels& pixels);

}  // namespace xtb
