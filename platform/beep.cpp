#include <climits>
#include <xtbasis/platform/beep.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>

#include "x11.h"

BOOL MessageBeep(UINT) {
  xtb::x11::Connection x;
  if (!x.IsOpen()) return FALSE;
  x.api().Bell(x.display(), 0);
  x.api().Flush(x.display());
  return TRUE;
}

BOOL Beep(DWORD frequency, DWORD duration) {
  if (frequency < 37 || frequency > 32767) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  xtb::x11::Connection x;
  if (!x.IsOpen()) return FALSE;
  const auto& api = x.api();
  xtb::x11::KeyboardState before{};
  api.GetKeyboardControl(x.display(), &before);
  xtb::x11::KeyboardControl tone{};
  tone.bell_pitch = static_cast<int>(frequency);
  tone.bell_duration = duration > INT_MAX ? INT_MAX : static_cast<int>(duration);
  api.ChangeKeyboardControl(x.display(), xtb::x11::kBellPitch | xtb::x11::kBellDuration, &tone);
  api.Bell(x.display(), 0);
  // Put the user's bell back, then wait for the tone as Windows does.
  xtb::x11::KeyboardControl restore{};
  restore.bell_pitch = static_cast<int>(before.bell_pitch);
  restore.bell_duration = static_cast<int>(before.bell_duration);
  api.ChangeKeyboardControl(x.display(), xtb::x11::kBellPitch | xtb::x11::kBellDuration, &restore);
  api.Sync(x.display(), 0);
  Sleep(duration);
  return TRUE;
}
