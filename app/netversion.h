// Version texts such as "4.8.03761" as the installed-framework report gives
// them, compared part by part.
#pragma once

#include <xtbasis/platform/cstring.h>

namespace xtb {

// Raises `result` to `candidate`: an empty result takes the candidate;
// otherwise the parts between the dots are compared as numbers (atoi; a
// missing part counts as 0) and the first differing part decides. The
// candidate replaces the result only when it is greater.
void RaiseVersion(CString& result, const CString& candidate);

}  // namespace xtb
