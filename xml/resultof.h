// The result code of a step that may throw, for code that must not let an
// exception pass: a libxml2 callback, which would unwind through C, or the
// body of a thread, which would end the process.
#pragma once

#include <new>

#include <xtbasis/platform/com.h>

namespace xtb::xml {

// The step's own result; E_OUTOFMEMORY for a failed allocation, E_UNEXPECTED
// for any other exception.
template <typename Step>
HRESULT ResultOf(Step&& step) noexcept {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace xtb::xml
