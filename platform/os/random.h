// Random bytes from the kernel's secure source.
#pragma once

#include <cstddef>

namespace xtb::os {

// Fills all `size` bytes; false when the source fails.
bool FillSecureRandom(void* buffer, size_t size);

}  // namespace xtb::os
