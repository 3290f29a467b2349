// The key container class CXTCrypt: an RSA exchange key pair and an AES-256
// session key for hybrid file encryption, key files, signatures and
// certificates, plus the static AES-Base64, hash and PBKDF2 helpers. Keys,
// cipher files and signatures use the byte layouts of the Windows
// installations (little-endian key blobs, AES-256-CBC with PKCS#5 padding
// and a zero vector, PKCS#1 v1.5 signatures with their bytes reversed), so
// files exchange with them in both directions.
//
// Failures return false (or an empty text) and leave a German text in
// LastError; nothing throws and nothing is traced.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Flags of AcquireContext.
#define CRYPT_VERIFYCONTEXT 0xF0000000u  // a throw-away context without a stored container
#define CRYPT_NEWKEYSET 0x00000008u      // create the container; fails if it exists
#define CRYPT_DELETEKEYSET 0x00000010u   // delete the container
#define CRYPT_MACHINE_KEYSET 0x00000020u  // the machine's containers instead of the user's

// Algorithm identifiers.
#define CALG_MD5 0x00008003u
#define CALG_SHA1 0x00008004u
#define CALG_SHA_256 0x0000800Cu
#define CALG_SHA_384 0x0000800Du
#define CALG_SHA_512 0x0000800Eu
#define CALG_AES_256 0x00006610u
#define CALG_RSA_KEYX 0x0000A400u

// Error numbers left in the last error by the failing provider step; the
// texts come from the module "advapi32.dll".
#define NTE_BAD_DATA 0x80090005u
#define NTE_BAD_SIGNATURE 0x80090006u
#define NTE_BAD_ALGID 0x80090008u
#define NTE_BAD_KEY_STATE 0x8009000Bu
#define NTE_NO_KEY 0x8009000Du
#define NTE_BAD_KEY 0x80090003u
#define NTE_BAD_LEN 0x80090004u
#define NTE_BAD_TYPE 0x8009000Au
#define NTE_BAD_VER 0x80090007u
#define NTE_EXISTS 0x8009000Fu
#define NTE_BAD_KEYSET 0x80090016u
#define NTE_BAD_FLAGS 0x80090009u
#define NTE_FAIL 0x80090020u
#define NTE_BAD_UID 0x80090001u

enum KEYTYPE {
  KT_PRIVATE = 0,  // the key pair with its private part (PRIVATEKEYBLOB)
  KT_PUBLIC = 1,   // the public part of the key pair (PUBLICKEYBLOB)
  KT_SESSION = 2,  // the session key wrapped with the key pair (SIMPLEBLOB)
};

// Called after every 1024-byte block of a file operation with an empty
// text, the percentage done, false and a null pointer; its result is ignored.
typedef bool (*XTCryptCallback)(const char* text, int percent, bool flag, void* user);

struct x509_st;

namespace xtb::crypto {
class AesStream;
class Container;
class Key;
}  // namespace xtb::crypto

// Copies share the container and the keys: the last copy releases them, so
// nothing is released twice.
class XTBASIS_API CXTCrypt {
 public:
  CString LastError;

  CXTCrypt();
  ~CXTCrypt();
  CXTCrypt(const CXTCrypt& other);
  CXTCrypt& operator=(const CXTCrypt& other);

  // Opens the named container (null: the one named after the user), creating
  // it when it does not exist; a container whose stored keys are damaged is
  // deleted and made anew. Flags: CRYPT_VERIFYCONTEXT, CRYPT_NEWKEYSET,
  // CRYPT_DELETEKEYSET (deletes and leaves no context; true on success),
  // CRYPT_MACHINE_KEYSET.
  bool AcquireContext(const char* container, unsigned long flags);
  void ReleaseContext();

  // The session key (AES-256) or the key pair (RSA 3072, stored in the
  // container as its exchange key); both exportable.
  bool GenKey(bool session);
  void DestroyKey(bool session);
  // Loads the exchange key stored in the container as the key pair (it
  // keeps the exportability it was stored with).
  bool GetUserKey();

  // Key files hold the blobs of the KEYTYPE table. An imported private key
  // becomes the container's exchange key; imported keys cannot be exported
  // again except as the public part. An exported public key or session key
  // (wrapped for the key pair) is open to every user; a private key file is
  // the writer's alone (mode 0600 whatever the umask), where the Windows
  // original opened it to every user too.
  bool ImportKey(KEYTYPE type, const char* file);
  bool ExportKey(KEYTYPE type, const char* file);
  bool GetKeyHex(KEYTYPE type, CString& hex);

  // The whole file as one AES-256-CBC stream under the session key; the
  // target is created or truncated and stays, partly written, on failure.
  bool Encrypt(const char* source, const char* target, XTCryptCallback callback);
  bool Decrypt(const char* source, const char* target, XTCryptCallback callback);

  // SHA-256 of the file signed with the container's exchange key; the
  // signature (bytes reversed) is a malloc block the caller frees.
  bool SignHash(const char* file, unsigned char*& signature, unsigned long& length, XTCryptCallback callback);
  // Checked against the key pair's public part.
  bool VerifyHash(const char* file, unsigned char* signature, unsigned long length, XTCryptCallback callback);
  bool SignHash(const char* file, const char* signatureFile, XTCryptCallback callback);
  bool VerifyHash(const char* file, const char* signatureFile, XTCryptCallback callback);

  // One-call operations; `error` receives LastError of the object used.
  static bool EncryptFileA(const char* container, const char* publicKeyFile, const char* source, const char* target,
                           const char* sessionKeyFile, XTCryptCallback callback, CString& error);
  static bool EncryptFileSpecial(const char* container, const char* publicKeyFile, const char* source,
                                 const char* target, CString& keyHex, CString& error);
  static bool DecryptFileA(const char* container, const char* privateKeyFile, const char* sessionKeyFile,
                           const char* source, const char* target, XTCryptCallback callback, CString& error);

  // AES-256-CBC of `data` under the 32 password bytes, PKCS#5 padding, and
  // as vector the 16 characters that begin the hexadecimal SHA-256 of `ivText`
  // (null or empty: the zero vector); the cipher bytes as Base64 on one line.
  // A non-empty `error` passed in keeps its text.
  static bool EncryptDataAESBase64(const char* password, const char* ivText, unsigned char* data,
                                   unsigned long length, CString& base64, CString& error);
  // The reverse; `data` is a malloc block the caller frees, null on failure.
  static bool DecryptDataAESBase64(const char* password, const char* ivText, const CString& base64,
                                   unsigned char*& data, unsigned long& length, CString& error);

  // Two lower-case hex digits per byte; empty for no bytes.
  static CString KeyToHex(const unsigned char* bytes, unsigned long length);
  // The bytes of a whole file; empty when it cannot be read or is empty.
  static CString KeyToHex(const char* file);
  // Pairs of characters read as strtol reads base 16 ("1z" gives 1, "zz" 0);
  // a last odd character is ignored. `bytes` comes from new[].
  static void HexToKey(const CString& hex, unsigned char*& bytes, unsigned long& length);
  // Writes the decoded bytes to `file`, as ExportKey writes a key file;
  // false for an empty decoding or a failed write.
  static bool HexToKey(const CString& hex, const char* file);

  // The digest in lower-case hex of CALG_MD5, CALG_SHA1, CALG_SHA_256,
  // CALG_SHA_384 or CALG_SHA_512; empty for another identifier.
  static CString CalcHash(const unsigned char* data, unsigned long length, unsigned int algorithm, CString& error);
  static CString CalcFileHash(const char* file, unsigned int algorithm);
  // PBKDF2-HMAC-SHA256, 600000 iterations, 32 bytes, as 64 hex digits.
  static CString CalcPBKDF2Hash(const CString& password, const CString& salt, CString& error);

  // A self-signed root in the machine's "Root" store (replacing the one of
  // the same friendly name), its key in the machine container `container`.
  // Like the Windows roots it carries no basic constraints, which Linux
  // clients refuse as an issuer; `caConstraints` adds CA:TRUE for them.
  bool CreateCACertificate(const char* container, const char* commonName, const char* friendlyName, int years,
                           bool caConstraints = false);
  // A server certificate signed by the first root whose subject contains
  // `rootSubjectSearch`, stored in "My"; its SHA-1 thumbprint (20 bytes).
  bool CreateSSLCertificate(const char* rootSubjectSearch, const char* commonName, const char* friendlyName,
                            int years, unsigned char* const thumbprint);
  // Writes the first certificate of that friendly name in the machine store
  // `store` ("Root" or "My") as PEM text, open to every user, for Linux
  // servers and trust stores; false with LastError when none or the write fails.
  bool ExportCertificatePem(const char* store, const char* friendlyName, const char* file);

 protected:
  bool DoGetKey(KEYTYPE type, unsigned char*& blob, unsigned long& length);
  // The block that progress is counted in: 1024 bytes, a multiple of the
  // session key's block length.
  unsigned long GetBufSize() const;
  // Encrypts the first `length` bytes of the work buffer in place (`final`
  // pads); `length` becomes the output length.
  bool DoEncrypt(bool final, unsigned long& length);
  CString GetUniqueContainer();
  // LastError = the text of `code` (0xFFFFFFFF: the last error), then
  // " bei: " and `where` unless it is empty.
  void FillLastError(const CString& where, unsigned long code = 0xFFFFFFFFu);
  // The digest of the whole file, or empty with LastError set.
  std::vector<uint8_t> DoCalcFileHash(const char* file, unsigned int algorithm, XTCryptCallback callback);
  static CString HashToString(const std::vector<uint8_t>& digest);

 private:
  bool DoDecrypt(bool final, unsigned long& length);
  bool TransformFile(const char* source, const char* target, XTCryptCallback callback, bool encrypt);
  // The cipher of the AES texts in m_stream: password check, key, vector.
  bool StaticAESKey(const char* password, const char* ivText, bool encrypt, CString& error);
  // The server certificate signed by `root` with the key of its container.
  bool CreateCertificate(x509_st* root, const std::string& rootContainer, const std::string& subject,
                         const char* friendlyName, int years, unsigned char* const thumbprint);

  std::shared_ptr<xtb::crypto::Container> m_provider;
  std::shared_ptr<xtb::crypto::Key> m_keyPair;
  std::shared_ptr<xtb::crypto::Key> m_sessionKey;
  std::vector<uint8_t> m_buffer;  // work buffer of one file operation
  std::shared_ptr<xtb::crypto::AesStream> m_stream;  // the cipher of one file operation
};
