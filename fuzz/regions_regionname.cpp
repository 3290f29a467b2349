// RegionObjectName on arbitrary names: the result is one valid POSIX
// shared-memory name of the right scope, the same on every call, and unless
// it had to be cut, its escapes decode back to the name without its scope.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <xtbasis/sharedregion.h>

namespace {

bool Allowed(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-' || c == '%' || c == '~';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const char* text = name.c_str();  // a region name ends at its first NUL
  const std::string object = RegionObjectName(text).GetString();
  if (object != RegionObjectName(text).GetString()) std::abort();
  if (object.size() < 2 || object.size() > 256 || object[0] != '/') std::abort();
  for (size_t i = 1; i < object.size(); ++i)
    if (!Allowed(object[i])) std::abort();

  std::string scopeless = text;
  std::string prefix = "/xtbasis-u" + std::to_string(getuid()) + "-";
  if (scopeless.rfind("Global\\", 0) == 0) {
    scopeless.erase(0, 7);
    prefix = "/xtbasis-g-";
  } else if (scopeless.rfind("Local\\", 0) == 0) {
    scopeless.erase(0, 6);
  }
  if (object.rfind(prefix, 0) != 0) std::abort();
  if (object.size() == 256 && object[239] == '~') return 0;  // cut, ends in the hash
  std::string decoded;
  for (size_t i = prefix.size(); i < object.size(); ++i) {
    if (object[i] != '%') {
      decoded += object[i];
      continue;
    }
    if (i + 2 >= object.size()) std::abort();
    decoded += static_cast<char>(HexDigit(object[i + 1]) * 16 + HexDigit(object[i + 2]));
    i += 2;
  }
  if (decoded != scopeless) std::abort();
  return 0;
}
