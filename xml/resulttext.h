// Texts of the result codes that the XML family records.
#pragma once

#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

namespace xtb::xml {

// The system's text of a result code or error number (with its line
// break), as the writer reports it; false when there is none.
bool ResultText(HRESULT result, CString& text);

}  // namespace xtb::xml
