// Base64 in vectors for the coder's long runs: 48 bytes to 64 characters
// and back per step with AVX-512 VBMI, 24 to 32 with AVX2. Each step takes whole groups only; the
// table-driven coder does the rest, and every character outside the
// alphabet (line breaks, padding, NUL) is left to it.
#pragma once

#include <cstddef>

namespace xtb::base64 {

// The vector widths, narrowest first: AVX2, AVX-512 with VBMI.
enum class Width { none, avx2, vbmi };

// The widest this processor runs, looked up once.
Width VectorWidth();

// Encodes whole groups in steps of `width` and the narrower widths (16
// groups at a time for VBMI, then 8 for AVX2 while more than 9 are left,
// since an AVX2 step reads 28 bytes); the groups encoded.
size_t EncodeVector(Width width, const unsigned char* in, size_t groups, char* out);

// Decodes blocks of alphabet characters (64 for VBMI, then 32 for AVX2)
// while `length` characters and `room` bytes last, up to the first block
// that holds any other character; the characters decoded (a multiple of 32).
size_t DecodeVector(Width width, const unsigned char* in, size_t length, unsigned char* out, size_t room);

}  // namespace xtb::base64
