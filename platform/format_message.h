// The message formatter's inserts (%1, %2!d! ...) over typed arguments.
#pragma once

#include <cstddef>
#include <string>
#include <xtbasis/platform/formatargs.h>

namespace xtb {

// Appends `format` with its inserts filled from `args` (CString::FormatMessage
// documents the language) to `out`.
void AppendMessageInserts(std::string& out, const char* format, const XTFormatArg* args, size_t count);

}  // namespace xtb
