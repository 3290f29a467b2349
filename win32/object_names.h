// The names of events, mutexes and semaphores: one namespace for the three
// kinds within the process, as on Windows. A name lasts as long as its
// object: when the last handle is closed, the name is free again.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <xtbasis/platform/lasterror.h>

#include "kernel_objects.h"

namespace xtb::win32 {

// The object named `name`, made by `make` and entered when the name is new;
// `existed` tells which.
std::shared_ptr<KernelObject> FindOrEnterNamed(const std::string& name,
                                               const std::function<std::shared_ptr<KernelObject>()>& make,
                                               bool& existed);
// The object named `name`, null when there is none.
std::shared_ptr<KernelObject> FindNamed(const std::string& name);

// A handle to a new T made by `make`, or (for a name in use by a T) to the
// existing one with ERROR_ALREADY_EXISTS; null with ERROR_INVALID_HANDLE for
// a name in use by another kind. The last error is 0 for a new object.
template <class T>
HANDLE CreateMaybeNamed(LPCSTR name, const std::function<std::shared_ptr<T>()>& make, bool& existed) {
  existed = false;
  std::shared_ptr<KernelObject> object;
  if (name == nullptr || *name == '\0') {
    object = make();
  } else {
    object = FindOrEnterNamed(name, [&make] { return std::shared_ptr<KernelObject>(make()); }, existed);
    if (existed && dynamic_cast<T*>(object.get()) == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
  }
  HANDLE handle = OpenHandle(std::move(object));
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

// A new handle to the T named `name`; null with ERROR_INVALID_PARAMETER
// for no name, ERROR_FILE_NOT_FOUND when none has it, ERROR_INVALID_HANDLE
// when it names another kind.
template <class T>
HANDLE OpenNamed(LPCSTR name) {
  if (name == nullptr || *name == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<KernelObject> object = FindNamed(name);
  if (object == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (dynamic_cast<T*>(object.get()) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return OpenHandle(std::move(object));
}

}  // namespace xtb::win32
