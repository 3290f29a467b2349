// Deterministic pseudo-random bytes for file contents and keys.
#pragma once

#include <cstddef>
#include <string>

inline std::string PatternBytes(size_t count, unsigned seed = 1) {
  std::string bytes(count, '\0');
  unsigned state = seed;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}
