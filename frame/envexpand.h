// %NAME% references in registry texts (REG_EXPAND_SZ).
#pragma once

#include <string>
#include <string_view>

namespace xtb {

// Replaces every %NAME% whose variable is set by its value; references to
// unset variables and a lone '%' stay as they are.
std::string ExpandEnvironmentText(std::string_view text);

}  // namespace xtb
