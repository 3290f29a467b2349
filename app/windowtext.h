// Padding a text to a width on the screen.
#pragma once

namespace xtb::app {

// How many fill characters of `fillWidth` pixels bring a text of `measured`
// pixels to `width` pixels (or -`width` fill widths), to the nearest whole
// count; 0 when it is there already.
int FillCount(int measured, int width, int fillWidth);

}  // namespace xtb::app
