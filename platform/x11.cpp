#include "x11.h"

#include <cstdlib>
#include <xtbasis/platform/lasterror.h>

#include "os/dynlib.h"
#include "os/environment.h"

namespace xtb::x11 {

const Api* Load() {
  static Api api;
  static const Api* const loaded = os::dynlib::Load("libX11.so.6", api, [](void* library, Api& table) {
    using os::dynlib::Bind;
    return Bind(library, "XOpenDisplay", table.OpenDisplay) && Bind(library, "XCloseDisplay", table.CloseDisplay) &&
           Bind(library, "XBell", table.Bell) && Bind(library, "XFlush", table.Flush) &&
           Bind(library, "XSync", table.Sync) && Bind(library, "XGetKeyboardControl", table.GetKeyboardControl) &&
           Bind(library, "XChangeKeyboardControl", table.ChangeKeyboardControl) &&
           Bind(library, "XDefaultRootWindow", table.DefaultRootWindow) &&
           Bind(library, "XInternAtom", table.InternAtom) &&
           Bind(library, "XGetWindowProperty", table.GetWindowProperty) && Bind(library, "XFree", table.Free) &&
           Bind(library, "XQueryTree", table.QueryTree) &&
           Bind(library, "XGetWindowAttributes", table.GetWindowAttributes) &&
           Bind(library, "XCreateSimpleWindow", table.CreateSimpleWindow) &&
           Bind(library, "XDestroyWindow", table.DestroyWindow) &&
           Bind(library, "XSetSelectionOwner", table.SetSelectionOwner) &&
           Bind(library, "XGetSelectionOwner", table.GetSelectionOwner) &&
           Bind(library, "XNextEvent", table.NextEvent) && Bind(library, "XPending", table.Pending) &&
           Bind(library, "XConnectionNumber", table.ConnectionNumber) && Bind(library, "XSendEvent", table.SendEvent) &&
           Bind(library, "XChangeProperty", table.ChangeProperty) &&
           Bind(library, "XDefaultGC", table.DefaultGC) && Bind(library, "XDefaultScreen", table.DefaultScreen) &&
           Bind(library, "XGContextFromGC", table.GContextFromGC) && Bind(library, "XQueryFont", table.QueryFont) &&
           Bind(library, "XTextWidth", table.TextWidth) && Bind(library, "XFreeFontInfo", table.FreeFontInfo) &&
           Bind(library, "XGetImage", table.GetImage) && Bind(library, "XSetErrorHandler", table.SetErrorHandler) &&
           (Bind(library, "XSetIOErrorHandler", table.SetIOErrorHandler) || true) &&
           (Bind(library, "XSetIOErrorExitHandler", table.SetIOErrorExitHandler) || true);
  });
  return loaded;
}

Connection::Connection() {
  const char* name = xtb::os::NonEmptyEnvironmentValue("DISPLAY");
  if (!name || !(m_api = Load())) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return;
  }
  m_display = m_api->OpenDisplay(name);
  if (!m_display) SetLastError(ERROR_NOT_READY);
}

Connection::~Connection() {
  if (m_display) m_api->CloseDisplay(m_display);
}

std::string Connection::Property(Window window, Atom property, Atom type) const {
  Atom actualType = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  // At most 64 KiB of a property: titles and lists of this program's use.
  if (m_api->GetWindowProperty(m_display, window, property, 0, 16384, 0, type, &actualType, &format, &count, &after,
                               &data) != 0 ||
      !data)
    return {};
  // 32-bit items arrive as longs.
  const size_t itemSize = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
  std::string bytes(reinterpret_cast<const char*>(data), count * itemSize);
  m_api->Free(data);
  return bytes;
}

}  // namespace xtb::x11
