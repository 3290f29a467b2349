#include "keyblob.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/param_build.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <array>

#include <xtbasis/crypt.h>

#include "provider_errors.h"

namespace xtb::crypto {

namespace {

constexpr size_t kHeader = 8;       // BLOBHEADER
constexpr size_t kRsaHeader = 20;   // BLOBHEADER and RSAPUBKEY
constexpr uint32_t kMagicPublic = 0x31415352;   // "RSA1"
constexpr uint32_t kMagicPrivate = 0x32415352;  // "RSA2"
constexpr uint32_t kCalgRsaSign = 0x2400;
constexpr unsigned kMaxRsaBits = 16384;

uint32_t Dword(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | uint32_t{at[3]} << 24; }

void PutDword(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutHeader(std::vector<uint8_t>& out, uint8_t type, uint32_t algorithm) {
  out.insert(out.end(), {type, 2, 0, 0});
  PutDword(out, algorithm);
}

// The header's type, version and reserved bytes; the algorithm is checked by
// the caller.
bool CheckHeader(const uint8_t* blob, size_t length, uint8_t type) {
  if (blob == nullptr || length < kHeader) return Fail(NTE_BAD_DATA);
  if (blob[0] != type) return Fail(NTE_BAD_TYPE);
  if (blob[1] != 2) return Fail(NTE_BAD_VER);
  return true;
}

struct BnFree {
  void operator()(BIGNUM* number) const { BN_clear_free(number); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

struct BldFree {
  void operator()(OSSL_PARAM_BLD* builder) const { OSSL_PARAM_BLD_free(builder); }
};
struct ParamsFree {
  void operator()(OSSL_PARAM* params) const { OSSL_PARAM_free(params); }
};
struct CtxFree {
  void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
using PKeyCtx = std::unique_ptr<EVP_PKEY_CTX, CtxFree>;

// The names of the numbers in the order a PRIVATEKEYBLOB stores them after
// the modulus, with their length in halves of the modulus length.
struct Part {
  const char* name;
  size_t halves;
};
constexpr std::array<Part, 6> kPrivateParts = {{{OSSL_PKEY_PARAM_RSA_FACTOR1, 1},
                                                {OSSL_PKEY_PARAM_RSA_FACTOR2, 1},
                                                {OSSL_PKEY_PARAM_RSA_EXPONENT1, 1},
                                                {OSSL_PKEY_PARAM_RSA_EXPONENT2, 1},
                                                {OSSL_PKEY_PARAM_RSA_COEFFICIENT1, 1},
                                                {OSSL_PKEY_PARAM_RSA_D, 2}}};

bool PutNumber(std::vector<uint8_t>& out, EVP_PKEY* key, const char* name, size_t bytes) {
  BIGNUM* raw = nullptr;
  if (EVP_PKEY_get_bn_param(key, name, &raw) != 1) return Fail(NTE_BAD_KEY);
  Bn number(raw);
  const size_t at = out.size();
  out.resize(at + bytes);
  if (BN_bn2lebinpad(number.get(), out.data() + at, static_cast<int>(bytes)) != static_cast<int>(bytes))
    return Fail(NTE_BAD_KEY);
  return true;
}

Bn LittleEndian(const uint8_t* bytes, size_t length) {
  return Bn(BN_lebin2bn(bytes, static_cast<int>(length), nullptr));
}

// A private blob's numbers must make one key: n = p q, and e d = 1 modulo
// p - 1 and q - 1 as the CRT exponents claim. Corrupt blobs would otherwise
// give wrong signatures instead of a failed import.
bool ConsistentPrivateKey(const BIGNUM* n, const BIGNUM* e, const BIGNUM* p, const BIGNUM* q, const BIGNUM* dp,
                          const BIGNUM* dq) {
  std::unique_ptr<BN_CTX, decltype(&BN_CTX_free)> context(BN_CTX_new(), BN_CTX_free);
  Bn product(BN_new()), pMinus(BN_dup(p)), qMinus(BN_dup(q)), check(BN_new());
  if (!context || !product || !pMinus || !qMinus || !check) return false;
  if (BN_is_zero(p) || BN_is_zero(q) || !BN_mul(product.get(), p, q, context.get()) || BN_cmp(product.get(), n) != 0)
    return false;
  if (!BN_sub_word(pMinus.get(), 1) || !BN_sub_word(qMinus.get(), 1)) return false;
  return BN_mod_mul(check.get(), e, dp, pMinus.get(), context.get()) && BN_is_one(check.get()) &&
         BN_mod_mul(check.get(), e, dq, qMinus.get(), context.get()) && BN_is_one(check.get());
}

}  // namespace

uint8_t BlobType(const uint8_t* blob, size_t length) { return blob != nullptr && length >= kHeader ? blob[0] : 0; }

std::vector<uint8_t> RsaToBlob(EVP_PKEY* key, bool withPrivate) {
  std::vector<uint8_t> blob;
  BIGNUM* rawE = nullptr;
  if (key == nullptr || EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_E, &rawE) != 1) {
    Fail(NTE_BAD_KEY);
    return blob;
  }
  const Bn e(rawE);
  const int bits = EVP_PKEY_get_bits(key);
  if (bits <= 0 || bits % 16 != 0 || BN_num_bits(e.get()) > 32) {
    Fail(NTE_BAD_KEY);
    return blob;
  }
  const size_t modulus = static_cast<size_t>(bits) / 8;
  PutHeader(blob, withPrivate ? kPrivateKeyBlob : kPublicKeyBlob, CALG_RSA_KEYX);
  PutDword(blob, withPrivate ? kMagicPrivate : kMagicPublic);
  PutDword(blob, static_cast<uint32_t>(bits));
  PutDword(blob, static_cast<uint32_t>(BN_get_word(e.get())));
  bool ok = PutNumber(blob, key, OSSL_PKEY_PARAM_RSA_N, modulus);
  if (withPrivate)
    for (const Part& part : kPrivateParts) ok = ok && PutNumber(blob, key, part.name, modulus / 2 * part.halves);
  if (!ok) {
    OPENSSL_cleanse(blob.data(), blob.size());
    blob.clear();
  }
  return blob;
}

PKey RsaFromBlob(const uint8_t* blob, size_t length, bool& hasPrivate) {
  const uint8_t type = BlobType(blob, length);
  hasPrivate = type == kPrivateKeyBlob;
  if (!CheckHeader(blob, length, hasPrivate ? kPrivateKeyBlob : kPublicKeyBlob)) return nullptr;
  const uint32_t algorithm = Dword(blob + 4);
  if (algorithm != CALG_RSA_KEYX && algorithm != kCalgRsaSign) {
    Fail(NTE_BAD_ALGID);
    return nullptr;
  }
  if (length < kRsaHeader || Dword(blob + 8) != (hasPrivate ? kMagicPrivate : kMagicPublic)) {
    Fail(NTE_BAD_DATA);
    return nullptr;
  }
  const uint32_t bits = Dword(blob + 12);
  const uint32_t exponent = Dword(blob + 16);
  const size_t modulus = bits / 8;
  const size_t needed = kRsaHeader + (hasPrivate ? modulus * 9 / 2 : modulus);
  if (bits < 256 || bits > kMaxRsaBits || bits % 16 != 0 || exponent < 3 || exponent % 2 == 0 || length < needed) {
    Fail(bits % 16 != 0 || bits < 256 || bits > kMaxRsaBits ? NTE_BAD_KEY : NTE_BAD_DATA);
    return nullptr;
  }

  std::vector<Bn> numbers;
  const uint8_t* next = blob + kRsaHeader;
  numbers.push_back(LittleEndian(next, modulus));
  next += modulus;
  if (hasPrivate)
    for (const Part& part : kPrivateParts) {
      numbers.push_back(LittleEndian(next, modulus / 2 * part.halves));
      next += modulus / 2 * part.halves;
    }
  Bn e(BN_new());
  if (!e || !BN_set_word(e.get(), exponent) ||
      std::any_of(numbers.begin(), numbers.end(), [](const Bn& number) { return !number; })) {
    Fail(NTE_FAIL);
    return nullptr;
  }
  if (BN_num_bits(numbers[0].get()) != static_cast<int>(bits) ||
      (hasPrivate && !ConsistentPrivateKey(numbers[0].get(), e.get(), numbers[1].get(), numbers[2].get(),
                                           numbers[3].get(), numbers[4].get()))) {
    Fail(NTE_BAD_KEY);
    return nullptr;
  }

  std::unique_ptr<OSSL_PARAM_BLD, BldFree> builder(OSSL_PARAM_BLD_new());
  bool ok = builder && OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_RSA_N, numbers[0].get()) &&
            OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_RSA_E, e.get());
  if (hasPrivate)
    for (size_t i = 0; i < kPrivateParts.size(); ++i)
      ok = ok && OSSL_PARAM_BLD_push_BN(builder.get(), kPrivateParts[i].name, numbers[i + 1].get());
  std::unique_ptr<OSSL_PARAM, ParamsFree> params(ok ? OSSL_PARAM_BLD_to_param(builder.get()) : nullptr);
  PKeyCtx context(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
  EVP_PKEY* key = nullptr;
  if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
      EVP_PKEY_fromdata(context.get(), &key, hasPrivate ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY, params.get()) != 1) {
    Fail(NTE_BAD_KEY);
    return nullptr;
  }
  return PKey(key);
}

std::vector<uint8_t> WrapSessionKey(const Key::AesBytes& aes, EVP_PKEY* rsa) {
  std::vector<uint8_t> blob;
  PKeyCtx context(rsa ? EVP_PKEY_CTX_new_from_pkey(nullptr, rsa, nullptr) : nullptr);
  size_t size = 0;
  if (!context || EVP_PKEY_encrypt_init(context.get()) != 1 ||
      EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) != 1 ||
      EVP_PKEY_encrypt(context.get(), nullptr, &size, aes.data(), aes.size()) != 1) {
    Fail(NTE_BAD_KEY);
    return blob;
  }
  PutHeader(blob, kSimpleBlob, CALG_AES_256);
  PutDword(blob, CALG_RSA_KEYX);
  blob.resize(12 + size);
  if (EVP_PKEY_encrypt(context.get(), blob.data() + 12, &size, aes.data(), aes.size()) != 1) {
    Fail(NTE_FAIL);
    blob.clear();
    return blob;
  }
  blob.resize(12 + size);
  std::reverse(blob.begin() + 12, blob.end());
  return blob;
}

bool UnwrapSessionKey(const uint8_t* blob, size_t length, EVP_PKEY* rsa, Key::AesBytes& aes) {
  if (!CheckHeader(blob, length, kSimpleBlob)) return false;
  if (Dword(blob + 4) != CALG_AES_256 || length < 12 || Dword(blob + 8) != CALG_RSA_KEYX) return Fail(NTE_BAD_ALGID);
  if (rsa == nullptr) return Fail(NTE_NO_KEY);
  const size_t modulus = static_cast<size_t>(EVP_PKEY_get_size(rsa));
  if (length < 12 + modulus) return Fail(NTE_BAD_DATA);
  std::vector<uint8_t> cipher(blob + 12, blob + 12 + modulus);
  std::reverse(cipher.begin(), cipher.end());
  std::vector<uint8_t> plain(modulus);
  size_t size = plain.size();
  PKeyCtx context(EVP_PKEY_CTX_new_from_pkey(nullptr, rsa, nullptr));
  const bool ok = context && EVP_PKEY_decrypt_init(context.get()) == 1 &&
                  EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) == 1 &&
                  EVP_PKEY_decrypt(context.get(), plain.data(), &size, cipher.data(), cipher.size()) == 1 &&
                  size == aes.size();
  if (ok) std::copy_n(plain.begin(), aes.size(), aes.begin());
  OPENSSL_cleanse(plain.data(), plain.size());
  return ok || Fail(NTE_BAD_DATA);
}

std::vector<uint8_t> PlainTextKeyBlob(const uint8_t* key, size_t length) {
  std::vector<uint8_t> blob;
  PutHeader(blob, kPlainTextKeyBlob, CALG_AES_256);
  PutDword(blob, static_cast<uint32_t>(length));
  blob.insert(blob.end(), key, key + length);
  return blob;
}

bool AesFromPlainTextKeyBlob(const uint8_t* blob, size_t length, Key::AesBytes& aes) {
  if (!CheckHeader(blob, length, kPlainTextKeyBlob)) return false;
  if (Dword(blob + 4) != CALG_AES_256) return Fail(NTE_BAD_ALGID);
  if (length < 12 + aes.size() || Dword(blob + 8) != aes.size()) return Fail(NTE_BAD_DATA);
  std::copy_n(blob + 12, aes.size(), aes.begin());
  return true;
}

}  // namespace xtb::crypto
