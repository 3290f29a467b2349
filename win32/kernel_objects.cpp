#include "kernel_objects.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include <xtbasis/platform/lasterror.h>

namespace xtb::win32 {
namespace {

// Handle numbers are multiples of four, as on Windows, and never reused
// within a process: a handle closed twice fails the second time instead of
// closing someone else's object.
class HandleTable {
 public:
  HANDLE Add(std::shared_ptr<KernelObject> object) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_last += 4;
    m_objects.emplace(m_last, std::move(object));
    return reinterpret_cast<HANDLE>(m_last);
  }

  std::shared_ptr<KernelObject> Find(HANDLE handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    return it != m_objects.end() ? it->second : nullptr;
  }

  std::shared_ptr<KernelObject> Remove(HANDLE handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == m_objects.end()) {
      return nullptr;
    }
    std::shared_ptr<KernelObject> object = std::move(it->second);
    m_objects.erase(it);
    return object;
  }

 private:
  std::mutex m_mutex;
  uintptr_t m_last = 0;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> m_objects;
};

// Never destroyed: handles may be closed by exit handlers and by threads
// that outlive main.
HandleTable& Table() {
  static HandleTable* table = new HandleTable;
  return *table;
}

}  // namespace

HANDLE OpenHandle(std::shared_ptr<KernelObject> object) { return Table().Add(std::move(object)); }

std::shared_ptr<KernelObject> ObjectOf(HANDLE handle) {
  std::shared_ptr<KernelObject> object = Table().Find(handle);
  if (object == nullptr) {
    SetLastErrorInvalidHandle();
  }
  return object;
}

BOOL CloseKernelHandle(HANDLE handle) {
  // The object is released outside the table's lock: closing a file or
  // ending a thread's share may take a while.
  std::shared_ptr<KernelObject> object = Table().Remove(handle);
  if (object == nullptr) {
    SetLastErrorInvalidHandle();
    return FALSE;
  }
  return TRUE;
}

void SetLastErrorInvalidHandle() { SetLastError(ERROR_INVALID_HANDLE); }

}  // namespace xtb::win32
