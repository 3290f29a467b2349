// The objects behind the kit's HANDLE values: files, searches, events,
// mutexes, semaphores, threads and processes are each a KernelObject kept
// in one table. A HANDLE is the object's number in that table, never its
// address, so a stale or forged handle is found missing (ERROR_INVALID_HANDLE)
// instead of being followed. The table holds a share of each object; a call
// that uses an object holds another while it runs, so CloseHandle on one
// thread never frees what another thread is still using.
#pragma once

#include <memory>

#include <xtbasis/platform/wintypes.h>

namespace xtb::win32 {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

void SetLastErrorInvalidHandle();

// Enters `object` in the table and returns its new handle.
HANDLE OpenHandle(std::shared_ptr<KernelObject> object);

// The object of `handle`; null with ERROR_INVALID_HANDLE for a handle that
// is not open (null, INVALID_HANDLE_VALUE, closed, never given out).
std::shared_ptr<KernelObject> ObjectOf(HANDLE handle);

// The object of `handle` if it is a T; null with ERROR_INVALID_HANDLE
// otherwise (a file handle given to SetEvent, say).
template <class T>
std::shared_ptr<T> ObjectOfKind(HANDLE handle) {
  std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(ObjectOf(handle));
  if (object == nullptr) {
    SetLastErrorInvalidHandle();
  }
  return object;
}

// Takes `handle` out of the table; FALSE with ERROR_INVALID_HANDLE when it
// was not open. The object goes when its last user lets it go.
BOOL CloseKernelHandle(HANDLE handle);

}  // namespace xtb::win32
