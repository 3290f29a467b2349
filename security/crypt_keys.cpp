// CXTCrypt: key files, key blobs and their hexadecimal form.
#include <cstdlib>
#include <cstring>

#include <xtbasis/crypt.h>

#include "crypto/container.h"
#include "crypto/files.h"
#include "crypto/keyblob.h"
#include "crypto/provider_errors.h"
#include "crypto/texts.h"

using namespace xtb::crypto;

namespace {

std::vector<uint8_t> ExportBlob(KEYTYPE type, const std::shared_ptr<Key>& keyPair,
                                const std::shared_ptr<Key>& sessionKey) {
  const std::shared_ptr<Key>& key = type == KT_SESSION ? sessionKey : keyPair;
  if (!key) {
    Fail(NTE_NO_KEY);
    return {};
  }
  if (type == KT_PUBLIC) return RsaToBlob(key->Rsa(), false);
  if (!key->IsExportable() || (type == KT_PRIVATE && !key->HasPrivate())) {
    Fail(NTE_BAD_KEY_STATE);
    return {};
  }
  if (type == KT_PRIVATE) return RsaToBlob(key->Rsa(), true);
  if (!keyPair) {
    Fail(NTE_NO_KEY);
    return {};
  }
  return WrapSessionKey(key->Aes(), keyPair->Rsa());
}

}  // namespace

bool CXTCrypt::DoGetKey(KEYTYPE type, unsigned char*& blob, unsigned long& length) {
  blob = nullptr;
  length = 0;
  std::vector<uint8_t> bytes =
      type == KT_PRIVATE || type == KT_PUBLIC || type == KT_SESSION ? ExportBlob(type, m_keyPair, m_sessionKey)
                                                                     : std::vector<uint8_t>();
  if (bytes.empty()) {
    if (type != KT_PRIVATE && type != KT_PUBLIC && type != KT_SESSION) Fail(NTE_BAD_TYPE);
    FillLastError("CryptExportKey 1");
    return false;
  }
  blob = static_cast<unsigned char*>(std::malloc(bytes.size()));
  if (blob == nullptr) {
    Fail(NTE_FAIL);
    FillLastError("CryptExportKey 2");
    return false;
  }
  std::memcpy(blob, bytes.data(), bytes.size());
  length = static_cast<unsigned long>(bytes.size());
  OPENSSL_cleanse(bytes.data(), bytes.size());
  return true;
}

bool CXTCrypt::ExportKey(KEYTYPE type, const char* file) {
  unsigned char* blob = nullptr;
  unsigned long length = 0;
  if (!DoGetKey(type, blob, length)) return false;
  const bool written = xtb::crypto::disk::WriteKeyFile(file, blob, length);
  OPENSSL_cleanse(blob, length);
  std::free(blob);
  if (!written) LastError = CString(xtb::crypto::kSaveFailed) + CString(file ? file : "");
  return written;
}

bool CXTCrypt::GetKeyHex(KEYTYPE type, CString& hex) {
  unsigned char* blob = nullptr;
  unsigned long length = 0;
  if (!DoGetKey(type, blob, length)) return false;
  hex = KeyToHex(blob, length);
  OPENSSL_cleanse(blob, length);
  std::free(blob);
  return true;
}

bool CXTCrypt::ImportKey(KEYTYPE type, const char* file) {
  std::vector<uint8_t> blob;
  if (!xtb::crypto::disk::ReadWholeFile(file, blob) || blob.empty()) {
    LastError = CString(xtb::crypto::kLoadFailed) + CString(file ? file : "");
    return false;
  }
  bool ok = false;
  if (!m_provider) {
    Fail(NTE_BAD_UID);
  } else if (type == KT_SESSION) {
    Key::AesBytes aes;
    if (BlobType(blob.data(), blob.size()) == kPlainTextKeyBlob) {
      ok = AesFromPlainTextKeyBlob(blob.data(), blob.size(), aes);
    } else {
      // Unwrapped with the key pair, or with the container's exchange key
      // when the key pair holds no private part.
      std::shared_ptr<Key> unwrapping = m_keyPair && m_keyPair->HasPrivate() ? m_keyPair : m_provider->ExchangeKey();
      if (unwrapping) ok = UnwrapSessionKey(blob.data(), blob.size(), unwrapping->Rsa(), aes);
    }
    if (ok) m_sessionKey = std::make_shared<Key>(aes, false);
    OPENSSL_cleanse(aes.data(), aes.size());
  } else if (type == KT_PRIVATE || type == KT_PUBLIC) {
    bool hasPrivate = false;
    if (PKey rsa = RsaFromBlob(blob.data(), blob.size(), hasPrivate)) {
      auto key = std::make_shared<Key>(std::move(rsa), hasPrivate, false);
      ok = !hasPrivate || m_provider->StoreExchangeKey(*key);
      if (ok) m_keyPair = std::move(key);
    }
  } else {
    Fail(NTE_BAD_TYPE);
  }
  OPENSSL_cleanse(blob.data(), blob.size());
  if (!ok) FillLastError("CryptImportKey");
  return ok;
}
