// The system's own text for an errno value, in the language of the process
// locale and in code page 1252.
#pragma once

#include <string>

namespace xtb::os {

// False when the C library has no text for `error`.
bool SystemErrorText(int error, std::string& text);

}  // namespace xtb::os
