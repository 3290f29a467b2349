// _itoa and its kin: numbers written in a radix from 2 to 36.
#include <xtbasis/win32/crt_strings.h>

#include <cstdint>
#include <cstring>

#include "invalid_parameter.h"

namespace {

// Room for 64 binary digits, a sign and the NUL.
constexpr size_t kLongestText = 66;

// Writes `magnitude` (negated when `negative`) at `buffer` of `size` bytes.
errno_t WriteNumber(uint64_t magnitude, bool negative, char* buffer, size_t size, int radix) {
  if (!buffer || size == 0) return xtb::win32::InvalidParameter(EINVAL);
  if (radix < 2 || radix > 36) return xtb::win32::InvalidParameterEmptying(buffer, size, EINVAL);
  char digits[kLongestText];
  size_t count = 0;
  do {
    const int digit = static_cast<int>(magnitude % static_cast<unsigned>(radix));
    digits[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    magnitude /= static_cast<unsigned>(radix);
  } while (magnitude != 0);
  if (negative) digits[count++] = '-';
  if (count + 1 > size) return xtb::win32::InvalidParameterEmptying(buffer, size, ERANGE);
  for (size_t i = 0; i < count; ++i) buffer[i] = digits[count - 1 - i];
  buffer[count] = '\0';
  return 0;
}

// A signed value: its sign in radix 10, its two's complement of `bits` otherwise.
errno_t WriteSigned(int64_t value, int bits, char* buffer, size_t size, int radix) {
  if (radix == 10 && value < 0) return WriteNumber(0 - static_cast<uint64_t>(value), true, buffer, size, radix);
  const uint64_t mask = bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
  return WriteNumber(static_cast<uint64_t>(value) & mask, false, buffer, size, radix);
}

}  // namespace

errno_t _itoa_s(int value, char* buffer, size_t size, int radix) { return WriteSigned(value, 32, buffer, size, radix); }
errno_t _ltoa_s(LONG value, char* buffer, size_t size, int radix) { return WriteSigned(value, 32, buffer, size, radix); }
errno_t _ultoa_s(ULONG value, char* buffer, size_t size, int radix) {
  return WriteNumber(value, false, buffer, size, radix);
}
errno_t _i64toa_s(long long value, char* buffer, size_t size, int radix) {
  return WriteSigned(value, 64, buffer, size, radix);
}
errno_t _ui64toa_s(unsigned long long value, char* buffer, size_t size, int radix) {
  return WriteNumber(value, false, buffer, size, radix);
}

// The unchecked forms trust the buffer to hold the longest text of their type.
char* _itoa(int value, char* buffer, int radix) {
  _itoa_s(value, buffer, kLongestText, radix);
  return buffer;
}
char* _ltoa(LONG value, char* buffer, int radix) {
  _ltoa_s(value, buffer, kLongestText, radix);
  return buffer;
}
char* _ultoa(ULONG value, char* buffer, int radix) {
  _ultoa_s(value, buffer, kLongestText, radix);
  return buffer;
}
char* _i64toa(long long value, char* buffer, int radix) {
  _i64toa_s(value, buffer, kLongestText, radix);
  return buffer;
}
char* _ui64toa(unsigned long long value, char* buffer, int radix) {
  _ui64toa_s(value, buffer, kLongestText, radix);
  return buffer;
}
