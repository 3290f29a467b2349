// The text of a message number, as GetLastErrorString and the porting kit's
// FormatMessage both look it up: a module's message table first, then the
// system's text for the errno value of the same failure.
#pragma once

#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb {

// With `searchModule`, message `number` of `module`'s table (null: the
// program's own); then, with `searchSystem`, the system's text in the
// language of the process locale, in code page 1252 and ended by CR LF.
// False when neither has one (the last error is left as it was found).
bool FindMessageText(HMODULE module, bool searchModule, bool searchSystem, DWORD number, CString& text);

}  // namespace xtb
