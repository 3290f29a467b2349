#include <string>
#include <xtbasis/platform/desktop.h>
#include <xtbasis/windowtext.h>

#include "windowtext.h"

namespace xtb::app {

int FillCount(int measured, int width, int fillWidth) {
  if (fillWidth <= 0) return 0;
  const int target = width < 0 ? -width * fillWidth : width;
  return measured < target ? (target - measured + fillWidth / 2) / fillWidth : 0;
}

}  // namespace xtb::app

void FormatWindowText(HWND, CString& text, int width, const CString& suffix, HFONT font, char fill) {
  // Measured once per process, with the fill and font of the first call
  // that has a display.
  static int fillWidth = -1;
  if (fillWidth <= 0) fillWidth = xtb::desktop::TextWidth(font, std::string(1, fill));
  const int measured = xtb::desktop::TextWidth(font, std::string(text.GetString(), text.GetLength()) +
                                                         std::string(suffix.GetString(), suffix.GetLength()));
  if (measured < 0) return;
  const int count = xtb::app::FillCount(measured, width, fillWidth);
  if (count > 0) text += CString(fill, count);
}
