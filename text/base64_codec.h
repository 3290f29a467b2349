// The Base64 coder on raw buffers, shared by the exported functions and the
// byte buffer.
#pragma once

#include <cstddef>

namespace xtb::base64 {

// Characters EncodeTo writes for `count` bytes.
size_t EncodedLength(size_t count, bool lineBreaks);

// Writes exactly EncodedLength(count, lineBreaks) characters to `out` (no NUL).
void EncodeTo(const unsigned char* data, size_t count, bool lineBreaks, char* out);

// Decodes up to `length` characters of `text`, stopping early at a NUL and
// skipping characters outside the alphabet. Writes at most `capacity` bytes
// to `out` and returns the number of bytes the whole input gives, which is
// larger than `capacity` when the output did not fit.
size_t DecodeTo(const char* text, size_t length, unsigned char* out, size_t capacity);

// Bytes that `length` characters can give at most.
constexpr size_t MaxDecodedLength(size_t length) { return length / 4 * 3 + 2; }

}  // namespace xtb::base64
