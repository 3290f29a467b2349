// Beeps through the X display's bell. Without a display (or without libX11)
// both calls return FALSE with the last error ERROR_NOT_SUPPORTED; a display
// that cannot be opened gives ERROR_NOT_READY.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>


// Rings the bell; `type` (MB_ICON*, MB_OK, 0xFFFFFFFF) only names the sound.
XTBASIS_C_API BOOL MessageBeep(UINT type);
// Rings the bell at `frequency` Hz (37 to 32767, else ERROR_INVALID_PARAMETER)
// for `duration` milliseconds and returns when the tone has ended.
XTBASIS_C_API BOOL Beep(DWORD frequency, DWORD duration);
