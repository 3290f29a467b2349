#include <cerrno>
#include <climits>

#include <xtbasis/platform/exceptions.h>
#include <xtbasis/rc4file.h>

#include "rc4_cipher.h"
#include "rc4_stream.h"

bool IsRC4File(const CString& path, CString& content) {
  xtb::rc4::File file;
  std::vector<uint8_t> key;
  if (!file.OpenRead(path) || !xtb::rc4::ReadFormatAKey(file, key)) return false;
  const int64_t length = file.Length();
  if (length < 0) AfxThrowFileException(CFileException::ErrnoToException(errno), errno, path);
  const int64_t rest = length - static_cast<int64_t>(key.size()) - 1;
  if (rest < 0 || rest > INT_MAX) return false;  // a CString holds at most INT_MAX bytes
  char* buffer = content.GetBufferSetLength(static_cast<int>(rest));
  auto* bytes = reinterpret_cast<uint8_t*>(buffer);
  const long got = file.Read(bytes, static_cast<size_t>(rest));
  if (got < 0) {
    const int error = errno;
    content.Empty();
    AfxThrowFileException(CFileException::ErrnoToException(error), error, path);
  }
  xtb::rc4::Cipher(key.data(), key.size()).Apply(bytes, static_cast<size_t>(got));
  content.ReleaseBuffer(static_cast<int>(got));
  return got == rest;
}
