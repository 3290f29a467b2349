// Arbitrary bytes through the key-blob readers: no crash, and whatever
// imports exports again to a blob that imports to the same key.
#include <openssl/evp.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "crypto/keyblob.h"

using namespace xtb::crypto;

namespace {

// A small key pair for the SIMPLEBLOB reader, made once.
EVP_PKEY* Unwrapper() {
  static EVP_PKEY* const key = [] {
    EVP_PKEY* made = EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", size_t{1024});
    if (made == nullptr) std::abort();
    return made;
  }();
  return key;
}

void CheckRsa(const uint8_t* data, size_t size) {
  bool hasPrivate = false;
  PKey key = RsaFromBlob(data, size, hasPrivate);
  if (!key) return;
  const std::vector<uint8_t> blob = RsaToBlob(key.get(), hasPrivate);
  if (blob.empty() || blob.size() > size) std::abort();
  // The numbers are read back as they stood (the algorithm may be written
  // as the exchange key's).
  if (!std::equal(blob.begin() + 8, blob.end(), data + 8) || blob[0] != data[0]) std::abort();
  bool again = false;
  PKey reread = RsaFromBlob(blob.data(), blob.size(), again);
  if (!reread || again != hasPrivate || EVP_PKEY_eq(key.get(), reread.get()) != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckRsa(data, size);
  Key::AesBytes aes;
  if (AesFromPlainTextKeyBlob(data, size, aes) && !std::equal(aes.begin(), aes.end(), data + 12)) std::abort();
  if (UnwrapSessionKey(data, size, Unwrapper(), aes)) {
    // Wrapping is randomised; unwrapping the new blob must give the key back.
    const std::vector<uint8_t> wrapped = WrapSessionKey(aes, Unwrapper());
    Key::AesBytes back;
    if (!UnwrapSessionKey(wrapped.data(), wrapped.size(), Unwrapper(), back) || back != aes) std::abort();
  }
  return 0;
}
