// Closing, duplicating and waiting on handles.
#include <xtbasis/win32/handles.h>

#include <algorithm>
#include <vector>

#include "current_thread.h"
#include "kernel_objects.h"
#include "waitable.h"

namespace {

bool IsPseudoHandle(HANDLE handle) { return handle == GetCurrentProcess() || handle == GetCurrentThread(); }

// The objects of `handles`, or false with the last error set.
bool WaitablesOf(DWORD count, const HANDLE* handles, std::vector<std::shared_ptr<xtb::win32::Waitable>>& objects) {
  for (DWORD i = 0; i < count; ++i) {
    std::shared_ptr<xtb::win32::Waitable> object =
        IsPseudoHandle(handles[i]) ? nullptr : xtb::win32::WaitableOf(handles[i]);
    if (object == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    objects.push_back(std::move(object));
  }
  return true;
}

bool HasTwice(const std::vector<std::shared_ptr<xtb::win32::Waitable>>& objects) {
  std::vector<const xtb::win32::Waitable*> sorted;
  for (const auto& object : objects) sorted.push_back(object.get());
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

}  // namespace

BOOL CloseHandle(HANDLE handle) { return xtb::win32::CloseKernelHandle(handle); }

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target,
                     DWORD /*desiredAccess*/, BOOL /*inheritHandle*/, DWORD options) {
  if (sourceProcess != GetCurrentProcess() || targetProcess != GetCurrentProcess()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (target == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<xtb::win32::KernelObject> object =
      source == GetCurrentThread() ? xtb::win32::CurrentThreadObject() : xtb::win32::ObjectOf(source);
  if (object == nullptr) return FALSE;
  *target = xtb::win32::OpenHandle(std::move(object));
  if ((options & DUPLICATE_CLOSE_SOURCE) != 0 && source != GetCurrentThread()) xtb::win32::CloseKernelHandle(source);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) { return WaitForMultipleObjects(1, &handle, FALSE, milliseconds); }

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<xtb::win32::Waitable>> objects;
  if (!WaitablesOf(count, handles, objects)) return WAIT_FAILED;
  if (waitAll && HasTwice(objects)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  return xtb::win32::WaitForObjects(objects, waitAll != FALSE, milliseconds);
}
