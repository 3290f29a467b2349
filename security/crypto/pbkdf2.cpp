// The block function of SHA-256 is only reachable through OpenSSL's
// low-level interface, which OpenSSL 3 marks as deprecated.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "pbkdf2.h"

#include <openssl/crypto.h>
#include <openssl/sha.h>

#include <cstring>

namespace xtb::crypto {

namespace {

constexpr size_t kBlock = 64;
constexpr size_t kDigest = 32;

void PutBigEndian(const SHA256_CTX& state, uint8_t* out) {
  for (size_t i = 0; i < 8; ++i) {
    out[4 * i] = static_cast<uint8_t>(state.h[i] >> 24);
    out[4 * i + 1] = static_cast<uint8_t>(state.h[i] >> 16);
    out[4 * i + 2] = static_cast<uint8_t>(state.h[i] >> 8);
    out[4 * i + 3] = static_cast<uint8_t>(state.h[i]);
  }
}

// The state after one pad block of the key.
bool PadState(const uint8_t* key, uint8_t pad, SHA256_CTX& state) {
  uint8_t block[kBlock];
  for (size_t i = 0; i < kBlock; ++i) block[i] = key[i] ^ pad;
  const bool ok = SHA256_Init(&state) == 1 && SHA256_Update(&state, block, kBlock) == 1;
  OPENSSL_cleanse(block, sizeof block);
  return ok;
}

// One HMAC of a 32-byte message from the pad states: the message, its
// padding and its bit length (pad block plus message) fill exactly one block.
void HmacOfDigest(const SHA256_CTX& inner, const SHA256_CTX& outer, uint8_t block[kBlock]) {
  SHA256_CTX state = inner;
  SHA256_Transform(&state, block);
  PutBigEndian(state, block);
  state = outer;
  SHA256_Transform(&state, block);
  PutBigEndian(state, block);
}

}  // namespace

bool Pbkdf2Sha256(const uint8_t* password, size_t passwordLength, const uint8_t* salt, size_t saltLength,
                  unsigned iterations, uint8_t out[32]) {
  uint8_t key[kBlock] = {};
  if (passwordLength > kBlock) {
    SHA256(password, passwordLength, key);
  } else if (passwordLength > 0) {
    std::memcpy(key, password, passwordLength);
  }
  SHA256_CTX inner, outer;
  bool ok = PadState(key, 0x36, inner) && PadState(key, 0x5c, outer);
  OPENSSL_cleanse(key, sizeof key);

  // U1 = HMAC(salt || 1), through the general interface.
  uint8_t block[kBlock] = {};
  static const uint8_t kFirstBlock[4] = {0, 0, 0, 1};
  SHA256_CTX state = inner;
  ok = ok && SHA256_Update(&state, salt, saltLength) == 1 && SHA256_Update(&state, kFirstBlock, 4) == 1 &&
       SHA256_Final(block, &state) == 1;
  state = outer;
  ok = ok && SHA256_Update(&state, block, kDigest) == 1 && SHA256_Final(block, &state) == 1;
  if (!ok) return false;

  uint8_t sum[kDigest];
  std::memcpy(sum, block, kDigest);
  block[kDigest] = 0x80;
  block[kBlock - 2] = static_cast<uint8_t>(((kBlock + kDigest) * 8) >> 8);
  block[kBlock - 1] = static_cast<uint8_t>((kBlock + kDigest) * 8);
  for (unsigned round = 1; round < iterations; ++round) {
    HmacOfDigest(inner, outer, block);
    for (size_t i = 0; i < kDigest; ++i) sum[i] ^= block[i];
  }
  std::memcpy(out, sum, kDigest);
  OPENSSL_cleanse(sum, sizeof sum);
  OPENSSL_cleanse(block, sizeof block);
  OPENSSL_cleanse(&inner, sizeof inner);
  OPENSSL_cleanse(&outer, sizeof outer);
  return true;
}

}  // namespace xtb::crypto
