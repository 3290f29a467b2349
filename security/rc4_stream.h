// File access and the block loop shared by the RC4 file formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "os/file.h"

namespace xtb::rc4 {

using xtb::os::File;

// Copies the rest of `source` to `target`, applying a fresh RC4 state from
// the key to every block of `blockSize` bytes (the keystream starts anew at
// each boundary). Memory stays bounded however large the block is.
bool CryptBlocks(File& source, File& target, const std::vector<uint8_t>& key, size_t blockSize);

// Reads the format A header: key length byte (1 to 31) and the key.
bool ReadFormatAKey(File& source, std::vector<uint8_t>& key);

// Random bytes as the writers make keys: the runtime generator seeded with
// the uptime in whole seconds, each byte the low 8 bits of one draw.
std::vector<uint8_t> DrawKeyBytes(size_t count);

}  // namespace xtb::rc4
