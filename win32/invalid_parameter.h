// The runtime's answer to an invalid argument: the program's handler, if it
// set one, then errno and the error code for the caller to return.
#pragma once

#include <xtbasis/win32/crt_strings.h>

namespace xtb::win32 {

// Calls the handler, sets errno to `error` and returns it.
errno_t InvalidParameter(errno_t error);

// The same after emptying `buffer` where it can hold the empty text.
errno_t InvalidParameterEmptying(char* buffer, size_t size, errno_t error);

}  // namespace xtb::win32
