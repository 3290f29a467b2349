// The process environment.
#pragma once

#include <string>

namespace xtb::os {

// The value of the environment variable `name`; null when it is not set.
const char* EnvironmentValue(const char* name);
// The same, null also when it is set to the empty text: for the settings
// where an empty value means "not set".
const char* NonEmptyEnvironmentValue(const char* name);
bool SetEnvironmentValue(const char* name, const std::string& value);
void RemoveEnvironmentValue(const char* name);

}  // namespace xtb::os
