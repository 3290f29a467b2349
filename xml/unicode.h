// The XML family's forms of the platform's conversions (utf8cp1252.h):
// UTF-8 from the parser and UTF-16 from the SAX interfaces into the
// library's code page 1252, appended to a buffer or made into a CString in
// one allocation. Characters that 1252 lacks become '?', one per character.
#pragma once

#include <string>
#include <string_view>

#include <xtbasis/platform/cstring.h>

#include "utf8cp1252.h"

namespace xtb::xml {

// Appends SAX text (UTF-16; `length` < 0 reads up to the terminating NUL)
// as 1252.
void AppendSaxTextAsCp1252(std::string& out, const char16_t* text, int length);
// Appends UTF-8 as 1252.
void AppendUtf8AsCp1252(std::string& out, std::string_view utf8);
// UTF-8 as a 1252 string made in one allocation; `scratch` holds the
// converted bytes on the way when the text is not plain ASCII.
CString Cp1252String(std::string_view utf8, std::string& scratch);

}  // namespace xtb::xml
