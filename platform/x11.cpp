#include "x11.h"

#include <dlfcn.h>

#include <cstdlib>
#include <xtbasis/platform/lasterror.h>

namespace xtb::x11 {
namespace {

template <typename F>
bool Bind(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

const Api* LoadOnce() {
  static Api api;
  void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  const bool complete = Bind(library, "XOpenDisplay", api.OpenDisplay) &&
                        Bind(library, "XCloseDisplay", api.CloseDisplay) && Bind(library, "XBell", api.Bell) &&
                        Bind(library, "XFlush", api.Flush) && Bind(library, "XSync", api.Sync) &&
                        Bind(library, "XGetKeyboardControl", api.GetKeyboardControl) &&
                        Bind(library, "XChangeKeyboardControl", api.ChangeKeyboardControl);
  if (!complete) {
    dlclose(library);
    return nullptr;
  }
  return &api;  // stays loaded for the life of the process
}

}  // namespace

const Api* Load() {
  static const Api* api = LoadOnce();
  return api;
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
