// The picture of the whole screen of the display the process was started
// on ($DISPLAY), for the crash reporter's attachments.
#pragma once

#include <cstdint>
#include <vector>

namespace xtb {

struct ScreenPixels {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

// False without a display (DISPLAY unset, libX11 missing, the display not
// reachable) or when the screen cannot be read; X errors are not fatal.
bool CaptureScreen(ScreenPixels& pixels);

}  // namespace xtb
