#include <xtbasis/clipboard.h>
#include <xtbasis/platform/desktop.h>

bool CopyToClipboard(HWND, const char* text) { return xtb::desktop::SetClipboardText(text ? text : "", !text); }
