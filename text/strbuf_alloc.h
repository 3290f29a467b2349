// The allocator behind CXTStrBuf's growth. Tests replace it to make
// allocations fail on purpose; everything else uses the standard realloc.
#pragma once

#include <cstddef>

namespace xtb::strbuf {

using ReallocFunction = void* (*)(void* block, size_t size);

// Installs `function` (nullptr: the standard realloc) and returns the one before.
ReallocFunction SetReallocFunction(ReallocFunction function);

// Reallocates through the installed function; null when memory is short.
void* Reallocate(void* block, size_t size);

}  // namespace xtb::strbuf
