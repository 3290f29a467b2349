// The message formatter's inserts (%1, %2!d! ...) over typed arguments.
#pragma once

#include <cstddef>
#include <string>
#include <xtbasis/platform/formatargs.h>

namespace xtb {

// The insert after a '%' at `p` ("1", "12!d!"): its number (1 to 99) and
// its printf conversion without the '%' ("s" when it gives none); `p` moves
// past it. False, with `p` unmoved, when no insert number follows.
bool ReadMessageInsert(const char*& p, size_t& number, std::string& conversion);

// Appends what the escape '%' `ch` stands for (%n CR LF, %r, %t, %%, and
// any other character itself); false for %0 and '\0', which end the text.
bool AppendMessageEscape(std::string& out, char ch);

// Appends `format` with its inserts filled from `args` (CString::FormatMessage
// documents the language) to `out`.
void AppendMessageInserts(std::string& out, const char* format, const XTFormatArg* args, size_t count);

}  // namespace xtb
