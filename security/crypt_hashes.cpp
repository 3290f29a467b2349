// CXTCrypt: hashes, PBKDF2 and keys as hexadecimal text.
#include <openssl/crypto.h>

#include <cstdlib>
#include <cstring>

#include <xtbasis/crypt.h>
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/errortext.h>
#include <xtbasis/trace.h>

#include "crypto/digest.h"
#include "crypto/files.h"
#include "crypto/pbkdf2.h"

namespace {

constexpr unsigned kPbkdf2Iterations = 600000;
constexpr size_t kPbkdf2Bytes = 32;
// The status a failed derivation reports (an unsuccessful NTSTATUS).
constexpr DWORD kStatusUnsuccessful = 0xC0000001u;

// A pair as strtol reads it in base 16: digits up to the first other
// character. strtol would also skip leading blanks and take a sign; a pair
// is too short for a sign and a digit to matter beyond these cases.
unsigned char PairValue(const char* pair) {
  long value = 0;
  const char* next = pair;
  const char* end = pair + 2;
  while (next < end && (*next == ' ' || (*next >= '\t' && *next <= '\r'))) ++next;
  bool negative = false;
  if (next < end && (*next == '+' || *next == '-')) negative = *next++ == '-';
  for (; next < end; ++next) {
    const int digit = xtb::cp1252::HexDigitValue(*next);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return static_cast<unsigned char>(negative ? -value : value);
}

}  // namespace

CString CXTCrypt::KeyToHex(const unsigned char* bytes, unsigned long length) {
  static const char kDigits[] = "0123456789abcdef";
  if (bytes == nullptr || length == 0) return CString();
  std::string text(static_cast<size_t>(length) * 2, '\0');
  for (unsigned long i = 0; i < length; ++i) {
    text[2 * i] = kDigits[bytes[i] >> 4];
    text[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  return CString(text.data(), static_cast<int>(text.size()));
}

CString CXTCrypt::KeyToHex(const char* file) {
  std::vector<uint8_t> bytes;
  if (!xtb::crypto::disk::ReadWholeFile(file, bytes)) return CString();
  return KeyToHex(bytes.data(), static_cast<unsigned long>(bytes.size()));
}

void CXTCrypt::HexToKey(const CString& hex, unsigned char*& bytes, unsigned long& length) {
  length = static_cast<unsigned long>(hex.GetLength() / 2);
  bytes = new unsigned char[length];
  const char* text = hex.GetString();
  for (unsigned long i = 0; i < length; ++i) bytes[i] = PairValue(text + 2 * i);
}

bool CXTCrypt::HexToKey(const CString& hex, const char* file) {
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  HexToKey(hex, bytes, length);
  const bool written = xtb::crypto::disk::WriteKeyFile(file, bytes, length);
  delete[] bytes;
  return written;
}

CString CXTCrypt::CalcHash(const unsigned char* data, unsigned long length, unsigned int algorithm, CString& error) {
  CXTCrypt crypt;
  if (!crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT)) {
    error = crypt.LastError;
    return CString();
  }
  xtb::crypto::Digest digest(algorithm);
  const CString text = digest.IsReady() && (data != nullptr || length == 0) && digest.Update(data, length)
                           ? HashToString(digest.Finish())
                           : CString();
  if (text.IsEmpty()) error = crypt.LastError;
  return text;
}

CString CXTCrypt::CalcFileHash(const char* file, unsigned int algorithm) {
  CXTCrypt crypt;
  if (!crypt.AcquireContext(nullptr, CRYPT_VERIFYCONTEXT)) return CString();
  return HashToString(crypt.DoCalcFileHash(file, algorithm, nullptr));
}

CString CXTCrypt::CalcPBKDF2Hash(const CString& password, const CString& salt, CString& error) {
  unsigned char derived[kPbkdf2Bytes];
  if (!xtb::crypto::Pbkdf2Sha256(reinterpret_cast<const uint8_t*>(password.GetString()),
                                 static_cast<size_t>(password.GetLength()),
                                 reinterpret_cast<const uint8_t*>(salt.GetString()),
                                 static_cast<size_t>(salt.GetLength()), kPbkdf2Iterations, derived)) {
    error = GetLastErrorString("bcrypt.dll", kStatusUnsuccessful);
    return CString();
  }
  const CString hex = KeyToHex(derived, sizeof derived);
  OPENSSL_cleanse(derived, sizeof derived);
  return hex;
}
