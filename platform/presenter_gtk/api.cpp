#include "api.h"

#include "dynlib.h"

namespace xtb::gtk {

const Api* Load() {
  static Api api;
  static const Api* const loaded = dynlib::Load("libgtk-3.so.0", api, [](void* library, Api& table) {
    using dynlib::Bind;
#define XTB_GTK_BIND(name, result, parameters) &&Bind(library, #name, table.name)
    return true XTB_GTK_FUNCTIONS(XTB_GTK_BIND);
#undef XTB_GTK_BIND
  });
  return loaded;
}

}  // namespace xtb::gtk
