// CXTCrypt: AES-256 under a 32-character password, carried as Base64 text.
#include <climits>
#include <cstdlib>
#include <cstring>

#include <xtbasis/base64.h>
#include <xtbasis/crypt.h>

#include "crypto/aes_stream.h"
#include "crypto/keyblob.h"
#include "crypto/provider_errors.h"
#include "crypto/texts.h"

namespace {

constexpr size_t kPasswordChars = 32;
constexpr int kIvLength = 16;
constexpr size_t kBlock = 16;

// At the end of each call: the temporary object's text unless the caller's
// error already holds one.
bool Finish(bool ok, const CXTCrypt& crypt, CString& error) {
  if (error.IsEmpty() && !crypt.LastError.IsEmpty()) error = crypt.LastError;
  return ok;
}

}  // namespace

bool CXTCrypt::StaticAESKey(const char* password, const char* ivText, bool encrypt, CString& error) {
  if (password == nullptr || std::strlen(password) != kPasswordChars) {
    error = xtb::crypto::kPasswordLength;
    return false;
  }
  if (!AcquireContext(nullptr, CRYPT_VERIFYCONTEXT)) return false;
  const std::vector<uint8_t> blob =
      xtb::crypto::PlainTextKeyBlob(reinterpret_cast<const uint8_t*>(password), kPasswordChars);
  xtb::crypto::Key::AesBytes key;
  if (!xtb::crypto::AesFromPlainTextKeyBlob(blob.data(), blob.size(), key)) {
    FillLastError("CryptImportKey");
    return false;
  }
  // The vector is the hexadecimal spelling of the digest's first 8 bytes,
  // taken as 16 ASCII bytes.
  CString digest;
  const bool hasIv = ivText != nullptr && *ivText != '\0';
  if (hasIv) {
    CString ignored;
    digest = CalcHash(reinterpret_cast<const unsigned char*>(ivText), std::strlen(ivText), CALG_SHA_256, ignored);
    if (digest.GetLength() < kIvLength) {
      xtb::crypto::Fail(NTE_BAD_DATA);
      FillLastError("CryptSetKeyParam");
      OPENSSL_cleanse(key.data(), key.size());
      return false;
    }
  }
  m_stream = std::make_shared<xtb::crypto::AesStream>(
      key.data(), hasIv ? reinterpret_cast<const uint8_t*>(digest.GetString()) : nullptr, encrypt);
  OPENSSL_cleanse(key.data(), key.size());
  if (m_stream->IsReady()) return true;
  xtb::crypto::Fail(NTE_FAIL);
  FillLastError("CryptSetKeyParam");
  return false;
}

bool CXTCrypt::EncryptDataAESBase64(const char* password, const char* ivText, unsigned char* data,
                                    unsigned long length, CString& base64, CString& error) {
  CXTCrypt crypt;
  if (!crypt.StaticAESKey(password, ivText, true, error)) return Finish(false, crypt, error);
  if (length > static_cast<unsigned long>(INT_MAX) / 2 || (data == nullptr && length > 0)) {
    xtb::crypto::Fail(NTE_BAD_LEN);
    crypt.FillLastError("CryptEncrypt");
    return Finish(false, crypt, error);
  }
  std::vector<uint8_t> buffer(length + kBlock, 0);
  if (length > 0) std::memcpy(buffer.data(), data, length);
  const long out = crypt.m_stream->Update(buffer.data(), length, true);
  if (out < 0) {
    crypt.FillLastError("CryptEncrypt");
    return Finish(false, crypt, error);
  }
  base64 = EncodeBase64(buffer.data(), static_cast<int>(out), false);
  return Finish(true, crypt, error);
}

bool CXTCrypt::DecryptDataAESBase64(const char* password, const char* ivText, const CString& base64,
                                    unsigned char*& data, unsigned long& length, CString& error) {
  data = nullptr;
  length = 0;
  CXTCrypt crypt;
  if (!crypt.StaticAESKey(password, ivText, false, error)) return Finish(false, crypt, error);
  unsigned char* bytes = nullptr;
  int count = 0;
  if (!DecodeBase64(base64.GetString(), base64.GetLength(), &bytes, &count)) {
    std::free(bytes);
    xtb::crypto::Fail(NTE_BAD_DATA);
    crypt.FillLastError("DecodeBase64");
    return Finish(false, crypt, error);
  }
  // Decoding never gives more bytes than characters, so the block has the
  // room the cipher needs; a text of fewer than 16 bytes fails its check.
  if (bytes == nullptr) xtb::crypto::Fail(NTE_BAD_DATA);  // an empty text
  const long out = bytes != nullptr ? crypt.m_stream->Update(bytes, static_cast<size_t>(count), true) : -1;
  if (out < 0) {
    std::free(bytes);
    crypt.FillLastError("CryptDecrypt");
    return Finish(false, crypt, error);
  }
  data = bytes;
  length = static_cast<unsigned long>(out);
  return Finish(true, crypt, error);
}
