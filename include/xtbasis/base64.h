// Base64 with the RFC 4648 alphabet and '=' padding.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// The Base64 form of `length` bytes. With `lineBreaks` the text comes in lines
// of 76 characters separated by CR LF; it ends with CR LF exactly when
// `length` is a non-zero multiple of 57.
XTBASIS_C_API CString EncodeBase64(const unsigned char* data, int length, bool lineBreaks);

// Decodes the first `length` characters of `text` (or up to its first NUL),
// skipping every character outside the alphabet. `*bytes` receives a buffer of
// `length` bytes from malloc, which the caller frees with free() whatever the
// result; `*byteCount` the number of bytes the input gives. False only when
// they would not fit the buffer.
XTBASIS_C_API bool DecodeBase64(const char* text, int length, unsigned char** bytes, int* byteCount);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
