// CXTCrypt: lifetime, the container, key generation and error texts.
#include <xtbasis/crypt.h>
#include <xtbasis/errortext.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/trace.h>

#include "crypto/aes_stream.h"
#include "crypto/container.h"
#include "crypto/key.h"
#include "crypto/provider_errors.h"

using xtb::crypto::Container;

namespace {

constexpr unsigned kExchangeKeyBits = 3072;

}  // namespace

CXTCrypt::CXTCrypt() = default;
CXTCrypt::~CXTCrypt() = default;
CXTCrypt::CXTCrypt(const CXTCrypt& other) = default;
CXTCrypt& CXTCrypt::operator=(const CXTCrypt& other) = default;

bool CXTCrypt::AcquireContext(const char* container, unsigned long flags) {
  const DWORD given = static_cast<DWORD>(flags);
  m_provider = Container::Acquire(container, given);
  if (m_provider) return true;
  if ((given & CRYPT_DELETEKEYSET) != 0) {
    if (GetLastError() == 0) return true;
    FillLastError("CryptAcquireContext 1");
    return false;
  }
  const DWORD error = GetLastError();
  if (error == NTE_BAD_KEY_STATE) {
    // The stored keys are unusable: the container is made anew without them.
    Container::Acquire(container, given | CRYPT_DELETEKEYSET);
  } else if (error != NTE_BAD_KEYSET) {
    FillLastError("CryptAcquireContext 1", error);
    return false;
  }
  m_provider = Container::Acquire(container, given | CRYPT_NEWKEYSET);
  if (m_provider) return true;
  FillLastError("CryptAcquireContext 2");
  return false;
}

void CXTCrypt::ReleaseContext() { m_provider.reset(); }

bool CXTCrypt::GenKey(bool session) {
  if (!m_provider) {
    xtb::crypto::Fail(NTE_BAD_UID);
  } else if (session) {
    if (auto key = xtb::crypto::GenerateAesKey()) {
      m_sessionKey = std::move(key);
      return true;
    }
  } else if (xtb::crypto::PKey rsa = xtb::crypto::GenerateRsaKey(kExchangeKeyBits)) {
    auto key = std::make_shared<xtb::crypto::Key>(std::move(rsa), true, true);
    if (m_provider->StoreExchangeKey(*key)) {
      m_keyPair = std::move(key);
      return true;
    }
  }
  FillLastError("CryptGenKey");
  return false;
}

void CXTCrypt::DestroyKey(bool session) { (session ? m_sessionKey : m_keyPair).reset(); }

bool CXTCrypt::GetUserKey() {
  std::shared_ptr<xtb::crypto::Key> key = m_provider ? m_provider->ExchangeKey() : nullptr;
  if (!m_provider) xtb::crypto::Fail(NTE_BAD_UID);
  if (!key) {
    FillLastError("CryptGetUserKey");
    return false;
  }
  m_keyPair = std::move(key);
  return true;
}

unsigned long CXTCrypt::GetBufSize() const {
  constexpr unsigned long kBlock = 1024;
  constexpr unsigned long kAesBlock = 16;  // the only session key there is
  return m_sessionKey ? (kBlock + kAesBlock - 1) / kAesBlock * kAesBlock : kBlock;
}

CString CXTCrypt::GetUniqueContainer() {
  if (m_provider) return CString(m_provider->UniqueName().substr(0, 260).c_str());
  xtb::crypto::Fail(NTE_BAD_UID);
  FillLastError("CryptGetProvParam");
  return CString();
}

void CXTCrypt::FillLastError(const CString& where, unsigned long code) {
  xtb::crypto::RegisterProviderMessages();
  LastError = GetLastErrorString("advapi32.dll", static_cast<DWORD>(code));
  if (!where.IsEmpty()) LastError += CString(" bei: ") + where;
}
