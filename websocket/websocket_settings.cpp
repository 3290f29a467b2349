#include "websocket_settings.h"

#include <cstdlib>
#include <string>

#include <xtbasis/platform/registry.h>

namespace xtb::ws {

namespace {

constexpr char kKey[] = "SOFTWARE\\Vantorix\\XTBasis\\WebSocket";

// A REG_DWORD, or a number as text; false when the value is missing.
bool ReadNumber(HKEY key, const char* name, DWORD& number) {
  BYTE data[64];
  DWORD type = 0;
  DWORD size = sizeof data - 1;
  if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS) return false;
  if ((type == REG_DWORD) && size == sizeof(DWORD)) {
    number = static_cast<DWORD>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24);
    return true;
  }
  if (type != REG_SZ) return false;
  data[size] = 0;
  number = static_cast<DWORD>(std::strtoul(reinterpret_cast<const char*>(data), nullptr, 10));
  return true;
}

}  // namespace

Settings ReadSettings() {
  Settings settings;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return settings;
  DWORD number = 0;
  if (ReadNumber(key, "VerifyServerCertificate", number)) settings.verifyServerCertificate = number != 0;
  if (ReadNumber(key, "OpenTimeout", number) && number != 0) settings.openTimeout = std::chrono::milliseconds(number);
  RegCloseKey(key);
  return settings;
}

}  // namespace xtb::ws
