// CXTCrypt: the one-call file encryption and decryption.
#include <xtbasis/crypt.h>

#include "crypto/key.h"

namespace {

// Steps 1 to 3 of the encryption: the context, the recipient's public key
// and a fresh session key.
bool PrepareEncryption(CXTCrypt& crypt, const char* container, const char* publicKeyFile) {
  return crypt.AcquireContext(container, 0) && crypt.ImportKey(KT_PUBLIC, publicKeyFile) && crypt.GenKey(true);
}

}  // namespace

bool CXTCrypt::EncryptFileA(const char* container, const char* publicKeyFile, const char* source, const char* target,
                            const char* sessionKeyFile, XTCryptCallback callback, CString& error) {
  CXTCrypt crypt;
  const bool ok = PrepareEncryption(crypt, container, publicKeyFile) && crypt.ExportKey(KT_SESSION, sessionKeyFile) &&
                  crypt.Encrypt(source, target, callback);
  error = crypt.LastError;
  return ok;
}

bool CXTCrypt::EncryptFileSpecial(const char* container, const char* publicKeyFile, const char* source,
                                  const char* target, CString& keyHex, CString& error) {
  CXTCrypt crypt;
  const bool ok = PrepareEncryption(crypt, container, publicKeyFile) && crypt.GetKeyHex(KT_SESSION, keyHex) &&
                  crypt.Encrypt(source, target, nullptr);
  error = crypt.LastError;
  return ok;
}

bool CXTCrypt::DecryptFileA(const char* container, const char* privateKeyFile, const char* sessionKeyFile,
                            const char* source, const char* target, XTCryptCallback callback, CString& error) {
  CXTCrypt crypt;
  const bool ok = crypt.AcquireContext(container, 0) && crypt.ImportKey(KT_PRIVATE, privateKeyFile) &&
                  crypt.ImportKey(KT_SESSION, sessionKeyFile) && crypt.Decrypt(source, target, callback);
  error = crypt.LastError;
  return ok;
}
