#include <xtbasis/win32/types.h>

#include <cstdint>

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  // Magnitudes fit: |product| <= 2^62 and |denominator| <= 2^31.
  const uint64_t dividend = static_cast<uint64_t>(product < 0 ? -product : product);
  const uint64_t divisor = static_cast<uint64_t>(denominator < 0 ? -static_cast<int64_t>(denominator) : denominator);
  const uint64_t rounded = (dividend + divisor / 2) / divisor;
  if (negative ? rounded > uint64_t{1} << 31 : rounded > INT32_MAX) return -1;
  return negative ? static_cast<int>(-static_cast<int64_t>(rounded)) : static_cast<int>(rounded);
}
