// Arbitrary text through DecryptDataAESBase64: no crash, a clear failure
// text, and what decrypts encrypts back to the same cipher bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <xtbasis/base64.h>
#include <xtbasis/crypt.h>

namespace {

constexpr const char* kPassword = "0123456789abcdef0123456789ABCDEF";

bool EndsWith(const CString& text, const char* tail) {
  const size_t length = std::strlen(tail);
  return text.GetLength() >= static_cast<int>(length) &&
         std::strcmp(text.GetString() + text.GetLength() - length, tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte chooses the vector: none, or an IV text.
  if (size == 0) return 0;
  const char* iv = (data[0] & 1) != 0 ? "Initialisierungsvektor" : nullptr;
  const CString text(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
  unsigned char* plain = nullptr;
  unsigned long length = 0;
  CString error;
  if (!CXTCrypt::DecryptDataAESBase64(kPassword, iv, text, plain, length, error)) {
    if (plain != nullptr || !(EndsWith(error, " bei: CryptDecrypt") || EndsWith(error, " bei: DecodeBase64")))
      std::abort();
    return 0;
  }
  unsigned char* cipher = nullptr;
  int cipherLength = 0;
  DecodeBase64(text.GetString(), text.GetLength(), &cipher, &cipherLength);
  CString again;
  if (!CXTCrypt::EncryptDataAESBase64(kPassword, iv, plain, length, again, error) ||
      again != EncodeBase64(cipher, cipherLength, false) || length + 16 < static_cast<unsigned long>(cipherLength))
    std::abort();
  std::free(cipher);
  std::free(plain);
  return 0;
}
