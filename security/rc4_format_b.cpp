// Format B: a header of N = 2^e bytes ending in the key, payload in blocks
// of N bytes.
#include <xtbasis/rc4file.h>

#include "rc4_stream.h"

namespace {

using xtb::rc4::File;

constexpr uint8_t kWrittenExponent = 11;
constexpr size_t kWrittenBlockSize = size_t{1} << kWrittenExponent;
constexpr uint8_t kWrittenKeyLength = 32;
// Larger exponents leave the format's signed 32-bit block sizes.
constexpr uint8_t kMaxExponent = 30;

// Checks the header and reads the key; the file is then at offset N.
bool ReadHeader(File& source, std::vector<uint8_t>& key, size_t& blockSize) {
  uint8_t head[2];
  if (!source.ReadExactly(head, sizeof head)) return false;
  const uint8_t exponent = head[0], keyLength = head[1];
  if (exponent > kMaxExponent || keyLength < 1) return false;
  blockSize = size_t{1} << exponent;
  if (blockSize < size_t{keyLength} + 1) return false;
  uint8_t copy = 0;
  if (!source.Seek(static_cast<int64_t>(blockSize - keyLength - 1)) || !source.ReadExactly(&copy, 1) ||
      copy != keyLength)
    return false;
  key.resize(keyLength);
  return source.ReadExactly(key.data(), key.size());
}

}  // namespace

bool EncryptRC4FileNochSchwachsinnigereRZ2_1Variante(const char* source, const char* target) {
  File in, out;
  if (!in.OpenRead(source) || !out.Create(target, in)) return false;
  std::vector<uint8_t> header = xtb::rc4::DrawKeyBytes(kWrittenBlockSize);
  header[0] = kWrittenExponent;
  header[1] = kWrittenKeyLength;
  header[kWrittenBlockSize - kWrittenKeyLength - 1] = kWrittenKeyLength;
  const std::vector<uint8_t> key(header.end() - kWrittenKeyLength, header.end());
  const bool ok = out.Write(header.data(), header.size()) &&
                  xtb::rc4::CryptBlocks(in, out, key, kWrittenBlockSize);
  return out.Close() && ok;
}

bool EncryptRC4File20(const char* source, const char* target) {
  return EncryptRC4FileNochSchwachsinnigereRZ2_1Variante(source, target);
}

bool DecryptRC4FileNochSchwachsinnigereRZ2_1Variante(const char* source, const char* target) {
  File in, out;
  std::vector<uint8_t> key;
  size_t blockSize = 0;
  if (!in.OpenRead(source) || !ReadHeader(in, key, blockSize) || !out.Create(target, in)) return false;
  const bool ok = xtb::rc4::CryptBlocks(in, out, key, blockSize);
  return out.Close() && ok;
}
