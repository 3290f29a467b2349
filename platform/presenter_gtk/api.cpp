#include "api.h"

#include "os/dynlib.h"

namespace xtb::gtk {

const Api* Load() {
  static Api api;
  static const Api* const loaded = os::dynlib::Load("libgtk-3.so.0", api, [](void* library, Api& table) {
    using os::dynlib::Bind;
#define XTB_GTK_BIND(name, result, parameters) &&Bind(library, #name, table.name)
    return true XTB_GTK_FUNCTIONS(XTB_GTK_BIND);
#undef XTB_GTK_BIND
  });
  return loaded;
}

}  // namespace xtb::gtk
