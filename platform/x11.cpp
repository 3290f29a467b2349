#include "x11.h"

#include <cstdlib>
#include <xtbasis/platform/lasterror.h>

#include "dynlib.h"

namespace xtb::x11 {

const Api* Load() {
  static Api api;
  static const Api* const loaded = dynlib::Load("libX11.so.6", api, [](void* library, Api& table) {
    using dynlib::Bind;
    return Bind(library, "XOpenDisplay", table.OpenDisplay) && Bind(library, "XCloseDisplay", table.CloseDisplay) &&
           Bind(library, "XBell", table.Bell) && Bind(library, "XFlush", table.Flush) &&
           Bind(library, "XSync", table.Sync) && Bind(library, "XGetKeyboardControl", table.GetKeyboardControl) &&
           Bind(library, "XChangeKeyboardControl", table.ChangeKeyboardControl);
  });
  return loaded;
}

Connection::Connection() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name || !(m_api = Load())) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return;
  }
  m_display = m_api->OpenDisplay(name);
  if (!m_display) SetLastError(ERROR_NOT_READY);
}

Connection::~Connection() {
  if (m_display) m_api->CloseDisplay(m_display);
}

}  // namespace xtb::x11
