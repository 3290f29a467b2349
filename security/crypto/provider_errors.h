// The provider's error numbers and their texts.
#pragma once

#include <xtbasis/platform/wintypes.h>

namespace xtb::crypto {

// Sets the last error to `code` and returns false, for `return Fail(...)`.
bool Fail(DWORD code);

// Registers the texts of the provider's error numbers under the module
// name "advapi32.dll" (once per process).
void RegisterProviderMessages();

}  // namespace xtb::crypto
