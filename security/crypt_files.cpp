// CXTCrypt: whole files through the session key, and file hashes.
//
// Files are read in chunks of many blocks and each chunk is transformed in
// one call, which keeps the system calls few; progress is still reported
// block by block once the chunk is written, as if each block had been read
// alone. The cipher stream is the same either way.
#include <xtbasis/crypt.h>
#include <xtbasis/platform/lasterror.h>

#include "crypto/aes_stream.h"
#include "crypto/digest.h"
#include "crypto/key.h"
#include "crypto/provider_errors.h"
#include "crypto/texts.h"
#include "os/file.h"

namespace {

constexpr unsigned long kBlocksPerChunk = 256;
constexpr size_t kPaddingRoom = 16;

CString OpenFailure(const char* path) { return CString(xtb::crypto::kOpenFailed) + CString(path ? path : ""); }

// Calls `callback` for each block of a chunk that ended at byte `total`.
void ReportBlocks(XTCryptCallback callback, uint64_t before, uint64_t total, uint64_t size, unsigned long block) {
  if (callback == nullptr || size == 0) return;
  for (uint64_t done = before; done < total;) {
    done = std::min<uint64_t>(done + block, total);
    callback("", static_cast<int>(done * 100 / size), false, nullptr);
  }
}

}  // namespace

bool CXTCrypt::DoEncrypt(bool final, unsigned long& length) {
  if (!m_sessionKey || !m_stream) {
    xtb::crypto::Fail(NTE_BAD_KEY);
    FillLastError("CryptEncrypt 1");
    return false;
  }
  const size_t needed = length + (final ? kPaddingRoom : 0);
  if (needed > m_buffer.size()) m_buffer.resize(needed);
  const long out = m_stream->Update(m_buffer.data(), length, final);
  if (out < 0) {
    FillLastError("CryptEncrypt 2");
    return false;
  }
  length = static_cast<unsigned long>(out);
  return true;
}

bool CXTCrypt::DoDecrypt(bool final, unsigned long& length) {
  const long out = m_stream ? m_stream->Update(m_buffer.data(), length, final) : -1;
  if (!m_stream) xtb::crypto::Fail(NTE_BAD_KEY);
  if (out < 0) {
    FillLastError("CryptDecrypt");
    return false;
  }
  length = static_cast<unsigned long>(out);
  return true;
}

bool CXTCrypt::TransformFile(const char* source, const char* target, XTCryptCallback callback, bool encrypt) {
  xtb::os::File in;
  if (!in.OpenExclusive(source)) {
    LastError = OpenFailure(source);
    return false;
  }
  const uint64_t size = static_cast<uint64_t>(std::max<int64_t>(in.Length(), 0));
  xtb::os::File out;
  if (!out.CreateExclusive(target, in)) {
    LastError = CString(xtb::crypto::kCreateFailed) + CString(target ? target : "");
    return false;
  }
  const unsigned long block = GetBufSize();
  const unsigned long chunk = block * kBlocksPerChunk;
  m_buffer.assign(chunk + kPaddingRoom, 0);
  m_stream.reset();
  if (m_sessionKey) m_stream = std::make_shared<xtb::crypto::AesStream>(m_sessionKey->Aes().data(), nullptr, encrypt);

  bool ok = true;
  for (uint64_t total = 0; ok;) {
    const long got = in.Read(m_buffer.data(), chunk);
    if (got < 0) {
      xtb::SetLastErrorFromErrno();
      FillLastError("ReadFile");
      ok = false;
    }
    if (got <= 0) break;
    const uint64_t before = total;
    total += static_cast<uint64_t>(got);
    unsigned long length = static_cast<unsigned long>(got);
    ok = encrypt ? DoEncrypt(total >= size, length) : DoDecrypt(total >= size, length);
    if (ok && !out.Write(m_buffer.data(), length)) {
      xtb::SetLastErrorFromErrno();
      FillLastError("WriteFile");
      ok = false;
    }
    if (ok) ReportBlocks(callback, before, total, size, block);
  }
  m_stream.reset();
  m_buffer.clear();
  m_buffer.shrink_to_fit();
  return ok;
}

bool CXTCrypt::Encrypt(const char* source, const char* target, XTCryptCallback callback) {
  return TransformFile(source, target, callback, true);
}

bool CXTCrypt::Decrypt(const char* source, const char* target, XTCryptCallback callback) {
  return TransformFile(source, target, callback, false);
}

std::vector<uint8_t> CXTCrypt::DoCalcFileHash(const char* file, unsigned int algorithm, XTCryptCallback callback) {
  xtb::os::File in;
  if (!in.OpenExclusive(file)) {
    LastError = OpenFailure(file);
    return {};
  }
  if (!m_provider) xtb::crypto::Fail(NTE_BAD_UID);
  xtb::crypto::Digest digest(algorithm);
  if (!m_provider || !digest.IsReady()) {
    FillLastError("CryptCreateHash");
    return {};
  }
  const uint64_t size = static_cast<uint64_t>(std::max<int64_t>(in.Length(), 0));
  const unsigned long block = GetBufSize();
  std::vector<uint8_t> buffer(block * kBlocksPerChunk);
  for (uint64_t total = 0;;) {
    const long got = in.Read(buffer.data(), buffer.size());
    if (got < 0) xtb::SetLastErrorFromErrno();
    if (got < 0 || !digest.Update(buffer.data(), static_cast<size_t>(std::max<long>(got, 0)))) {
      FillLastError("CryptHashData");
      return {};
    }
    if (got == 0) break;
    ReportBlocks(callback, total, total + static_cast<uint64_t>(got), size, block);
    total += static_cast<uint64_t>(got);
  }
  return digest.Finish();
}

CString CXTCrypt::HashToString(const std::vector<uint8_t>& digest) { return KeyToHex(digest.data(), digest.size()); }
