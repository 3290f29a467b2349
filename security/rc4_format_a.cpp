// Format A: key length, key, payload in 1024-byte blocks.
#include <xtbasis/rc4file.h>

#include "rc4_stream.h"

namespace {

using xtb::rc4::File;

constexpr size_t kBlockSize = 1024;
constexpr uint8_t kWrittenKeyLength = 16;

}  // namespace

namespace xtb::rc4 {

bool ReadFormatAKey(File& source, std::vector<uint8_t>& key) {
  uint8_t length = 0;
  if (!source.ReadExactly(&length, 1) || length < 1 || length > 31) return false;
  key.resize(length);
  return source.ReadExactly(key.data(), key.size());
}

}  // namespace xtb::rc4

bool EncryptRC4FileSchwachsinnigeVDDSEXPVariante(const char* source, const char* target) {
  File in, out;
  if (!in.OpenRead(source) || !out.Create(target, in)) return false;
  const std::vector<uint8_t> key = xtb::rc4::DrawKeyBytes(kWrittenKeyLength);
  const bool ok = out.Write(&kWrittenKeyLength, 1) && out.Write(key.data(), key.size()) &&
                  xtb::rc4::CryptBlocks(in, out, key, kBlockSize);
  return out.Close() && ok;
}

bool DecryptRC4FileSchwachsinnigeVDDSEXPVariante(const char* source, const char* target) {
  File in, out;
  std::vector<uint8_t> key;
  if (!in.OpenRead(source) || !xtb::rc4::ReadFormatAKey(in, key) || !out.Create(target, in)) return false;
  const bool ok = xtb::rc4::CryptBlocks(in, out, key, kBlockSize);
  return out.Close() && ok;
}
