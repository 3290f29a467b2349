#include "environment.h"

#include <sys/auxv.h>

#include <cstdlib>

namespace xtb::os {

bool EnvironmentIsTrusted() { return getauxval(AT_SECURE) == 0; }

// secure_getenv: null where the kernel marked the process AT_SECURE.
const char* EnvironmentValue(const char* name) { return name != nullptr ? secure_getenv(name) : nullptr; }

const char* NonEmptyEnvironmentValue(const char* name) {
  const char* value = EnvironmentValue(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

bool SetEnvironmentValue(const char* name, const std::string& value) {
  return setenv(name, value.c_str(), 1) == 0;
}

void RemoveEnvironmentValue(const char* name) { unsetenv(name); }

}  // namespace xtb::os
