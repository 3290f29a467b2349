// The process environment.
//
// A program that runs with rights its caller lacks (set-user-id,
// set-group-id, or raised capabilities: the kernel marks it AT_SECURE)
// has an environment its caller chose. There every read gives null, as if
// nothing were set: the library's settings (XTBASIS_*) would otherwise
// choose the helper it runs and the folders it writes, and the ordinary
// variables (HOME, XDG_*, TMPDIR, PATH, DISPLAY ...) choose folders and
// programs just as well. The defaults hold instead.
#pragma once

#include <string>

namespace xtb::os {

// Where programs are looked for when PATH is not set or not trusted.
inline constexpr const char* kSystemSearchPath = "/usr/local/bin:/usr/bin:/bin";

// False in a process that runs with rights its caller lacks.
bool EnvironmentIsTrusted();
// The value of the environment variable `name`; null when it is not set,
// and always in a process that runs with rights its caller lacks.
const char* EnvironmentValue(const char* name);
// The same, null also when it is set to the empty text: for the settings
// where an empty value means "not set".
const char* NonEmptyEnvironmentValue(const char* name);
bool SetEnvironmentValue(const char* name, const std::string& value);
void RemoveEnvironmentValue(const char* name);

}  // namespace xtb::os
