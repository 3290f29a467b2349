// Text on the desktop's clipboard, held by a thread of this process until
// another program takes the clipboard over.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Puts `text` on the clipboard (a null text only empties it). The text stays
// there after the call, held by a thread of this process, until another
// program puts something there. False without a display.
XTBASIS_C_API bool CopyToClipboard(HWND owner, const char* text);
