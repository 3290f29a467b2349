#include <xtbasis/sharedregion.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "os/process.h"

namespace {

// Longest object name after the '/': the longest file name.
constexpr size_t kNameMax = 255;

bool Kept(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-';
}

uint64_t Fnv1a64(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

}  // namespace

CString RegionObjectName(const char* name) {
  std::string_view text = name != nullptr ? name : "";
  const std::string_view whole = text;
  std::string object;
  if (text.starts_with("Global\\")) {
    object = "/xtbasis-g-";
    text.remove_prefix(7);
  } else {
    if (text.starts_with("Local\\")) text.remove_prefix(6);
    object = "/xtbasis-u" + std::to_string(xtb::os::RealUserId()) + "-";
  }
  for (unsigned char c : text) {
    if (Kept(c)) {
      object += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      object += escaped;
    }
  }
  if (object.size() - 1 > kNameMax) {
    char hash[18];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(Fnv1a64(whole)));
    object.resize(1 + kNameMax - 17);
    object += hash;
  }
  return CString(object.c_str());
}
