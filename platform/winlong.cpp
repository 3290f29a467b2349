// strtol and strtoul with the 32-bit long of the Windows runtime.
#include <xtbasis/platform/winlong.h>

#include <cerrno>
#include <cstdlib>

namespace xtb::winlong {

int32_t StrToL(const char* text, char** end, int base) {
  const int savedErrno = errno;
  const long long v = std::strtoll(text, end, base);  // saturates at 64 bits, far beyond 32
  errno = savedErrno;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

uint32_t StrToUL(const char* text, char** end, int base) {
  const int savedErrno = errno;
  errno = 0;
  const unsigned long long v = std::strtoull(text, end, base);
  const bool overflow = errno == ERANGE;
  errno = savedErrno;
  if (overflow) return UINT32_MAX;
  // strtoull has already negated a "-" text in 64 bits; its magnitude tells
  // whether the text fits in 32.
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const unsigned long long magnitude = *p == '-' ? 0ull - v : v;
  if (magnitude > UINT32_MAX) return UINT32_MAX;
  return static_cast<uint32_t>(v);
}

}  // namespace xtb::winlong
