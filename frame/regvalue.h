// Reading one registry value whole, whatever its size.
#pragma once

#include <string>
#include <xtbasis/platform/registry.h>

namespace xtb {

// Queries value `name` of `key` with a buffer of `initialSize` bytes, again
// with the size reported while the answer is ERROR_MORE_DATA. On
// ERROR_SUCCESS `type` and `data` (exactly the bytes returned) are set.
LONG QueryRegValue(HKEY key, const char* name, DWORD initialSize, DWORD& type, std::string& data);

// The bytes of a text value up to its terminating zero.
std::string RegText(const std::string& data);

}  // namespace xtb
