#include "rc4_stream.h"

#include <algorithm>
#include <cstdlib>

#include <xtbasis/platform/clock.h>

#include "rc4_cipher.h"

namespace xtb::rc4 {

bool CryptBlocks(File& source, File& target, const std::vector<uint8_t>& key, size_t blockSize) {
  constexpr size_t kChunk = 64 * 1024;
  std::vector<uint8_t> buffer(std::min(blockSize, kChunk));
  for (;;) {
    Cipher cipher(key.data(), key.size());
    size_t leftInBlock = blockSize;
    while (leftInBlock > 0) {
      const long got = source.Read(buffer.data(), std::min(leftInBlock, buffer.size()));
      if (got < 0) return false;
      if (got == 0) return true;
      cipher.Apply(buffer.data(), static_cast<size_t>(got));
      if (!target.Write(buffer.data(), static_cast<size_t>(got))) return false;
      leftInBlock -= static_cast<size_t>(got);
    }
  }
}

std::vector<uint8_t> DrawKeyBytes(size_t count) {
  std::srand(GetTickCount() / 1000);
  std::vector<uint8_t> bytes(count);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(std::rand() & 0xFF);
  return bytes;
}

}  // namespace xtb::rc4
