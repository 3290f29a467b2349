#include "regvalue.h"

#include <cstring>

namespace xtb {

LONG QueryRegValue(HKEY key, const char* name, DWORD initialSize, DWORD& type, std::string& data) {
  data.resize(initialSize);
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_MORE_DATA && size > data.size()) {
      data.resize(size);
      continue;
    }
    if (result == ERROR_SUCCESS) data.resize(size);
    return result;
  }
}

std::string RegText(const std::string& data) { return std::string(data.c_str(), strnlen(data.data(), data.size())); }

}  // namespace xtb
