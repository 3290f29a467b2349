// Libraries loaded at run time, so that programs that never need them never
// load them: a table of functions bound by name.
#pragma once

#include <dlfcn.h>

#include <memory>

namespace xtb::os::dynlib {

template <typename F>
bool Bind(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

// Loads `soname` and fills `api` by `bindAll(library, api)`. The library
// stays loaded for the life of the process; null when it cannot be loaded
// or lacks a function.
template <typename Api, typename BindAll>
const Api* Load(const char* soname, Api& api, BindAll bindAll) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (library && bindAll(library, api)) return &api;
  if (library) dlclose(library);
  return nullptr;
}

// Loads `soname` for as long as the result (or a copy) lives, for objects
// that load a library on demand and unload it when they go; null when it
// cannot be loaded. Bind functions with `Bind(result.get(), ...)`.
inline std::shared_ptr<void> Open(const char* soname) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  return std::shared_ptr<void>(library, [](void* loaded) { dlclose(loaded); });
}

}  // namespace xtb::os::dynlib
