// Key blobs in the byte layout of the Windows installations: a BLOBHEADER
// (type, version 2, two reserved bytes, algorithm), then for RSA an
// RSAPUBKEY ("RSA1" or "RSA2", bit length, public exponent) and the numbers
// little-endian; for a SIMPLEBLOB the wrapping algorithm and the PKCS#1 v1.5
// encrypted session key, its bytes reversed; for a PLAINTEXTKEYBLOB the key
// size and the key bytes. Every reader checks lengths and fields before it
// touches a byte and fails with NTE_BAD_DATA, NTE_BAD_TYPE, NTE_BAD_VER,
// NTE_BAD_ALGID or NTE_BAD_KEY in the last error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "key.h"

namespace xtb::crypto {

constexpr uint8_t kSimpleBlob = 1;
constexpr uint8_t kPublicKeyBlob = 6;
constexpr uint8_t kPrivateKeyBlob = 7;
constexpr uint8_t kPlainTextKeyBlob = 8;

// The blob's type byte, or 0 for fewer than 8 bytes.
uint8_t BlobType(const uint8_t* blob, size_t length);

// PRIVATEKEYBLOB (`withPrivate`) or PUBLICKEYBLOB of an RSA key; empty on
// failure.
std::vector<uint8_t> RsaToBlob(EVP_PKEY* key, bool withPrivate);
// An RSA key from either blob; `hasPrivate` tells which it was.
PKey RsaFromBlob(const uint8_t* blob, size_t length, bool& hasPrivate);

// SIMPLEBLOB of `aes` wrapped with the public part of `rsa`.
std::vector<uint8_t> WrapSessionKey(const Key::AesBytes& aes, EVP_PKEY* rsa);
// The session key of a SIMPLEBLOB, unwrapped with the private key `rsa`.
bool UnwrapSessionKey(const uint8_t* blob, size_t length, EVP_PKEY* rsa, Key::AesBytes& aes);

// PLAINTEXTKEYBLOB of an AES-256 key, and back.
std::vector<uint8_t> PlainTextKeyBlob(const uint8_t* key, size_t length);
bool AesFromPlainTextKeyBlob(const uint8_t* blob, size_t length, Key::AesBytes& aes);

}  // namespace xtb::crypto
