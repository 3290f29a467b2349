// The library's German string table (UTF-8).
#pragma once

#include <cstddef>
#include <xtbasis/platform/module.h>

namespace xtb {

extern const XTResourceText kXTBasisStrings[];
extern const size_t kXTBasisStringCount;

}  // namespace xtb
