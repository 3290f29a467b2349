// MakeCryptic: the reversible XOR scramble with which the suite hides short
// text fields from casual view.
#pragma once

#include <xtbasis/platform/api.h>

// XORs `length` bytes of `buffer` with the NUL-terminated `key`, cyclically,
// leaving NUL, '|' and '\'' alone and never producing them; applying it
// twice with the same key restores the buffer. A null or empty key or a
// length below 1 leaves the buffer as it is.
XTBASIS_C_API void MakeCryptic(char* buffer, int length, const char* key);
