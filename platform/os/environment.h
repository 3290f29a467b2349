// The process environment.
#pragma once

#include <string>

namespace xtb::os {

// The value of the environment variable `name`; null when it is not set.
const char* EnvironmentValue(const char* name);
bool SetEnvironmentValue(const char* name, const std::string& value);

}  // namespace xtb::os
