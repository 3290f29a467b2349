// Texts padded to a width in pixels of an X font, for lists drawn in
// columns of a proportional font.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Appends `fill` characters to `text` so that `text` followed by `suffix`,
// drawn in `font` (an X font; null: the display's default font, as X
// windows have none of their own), reaches `width` pixels, or -`width`
// fill-character widths when `width` is negative. The fill character's
// width is measured once per process. Without a display the text stays.
XTBASIS_C_API void FormatWindowText(HWND window, CString& text, int width, const CString& suffix, HFONT font,
                                    char fill);
