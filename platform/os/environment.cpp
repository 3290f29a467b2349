#include "environment.h"

#include <cstdlib>

namespace xtb::os {

const char* EnvironmentValue(const char* name) { return name != nullptr ? std::getenv(name) : nullptr; }

const char* NonEmptyEnvironmentValue(const char* name) {
  const char* value = EnvironmentValue(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

bool SetEnvironmentValue(const char* name, const std::string& value) {
  return setenv(name, value.c_str(), 1) == 0;
}

void RemoveEnvironmentValue(const char* name) { unsetenv(name); }

}  // namespace xtb::os
