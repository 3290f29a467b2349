// PBKDF2 with HMAC-SHA-256 (RFC 8018) for one 32-byte output block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xtb::crypto {

// The first 32 bytes of PBKDF2-HMAC-SHA256; false when SHA-256 is not
// available. The two HMAC pad states are hashed once, and each iteration
// costs two compressions of one block, without the general HMAC's
// per-call bookkeeping.
bool Pbkdf2Sha256(const uint8_t* password, size_t passwordLength, const uint8_t* salt, size_t saltLength,
                  unsigned iterations, uint8_t out[32]);

}  // namespace xtb::crypto
