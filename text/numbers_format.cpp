// Number formatters: decimal, thousands-grouped, radix and fixed-width texts.
#include <cstdio>
#include <string>

#include <xtbasis/numbers.h>

namespace {

template <typename... Args>
CString Printf(const char* format, Args... args) {
  char buf[64];
  const int n = std::snprintf(buf, sizeof buf, format, args...);
  if (n < static_cast<int>(sizeof buf)) return CString(buf, n);
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, args...);
  big.resize(static_cast<size_t>(n));
  return CString(std::move(big));
}

CString UnsignedInRadix(unsigned int value, int radix) {
  if (radix < 2 || radix > 36) return CString();
  char buf[33];
  char* p = buf + sizeof buf;
  do {
    const unsigned int digit = value % static_cast<unsigned int>(radix);
    *--p = "0123456789abcdefghijklmnopqrstuvwxyz"[digit];
    value /= static_cast<unsigned int>(radix);
  } while (value != 0);
  return CString(p, static_cast<int>(buf + sizeof buf - p));
}

}  // namespace

CString itoc(int value) { return Printf("%d", value); }
CString i64toc(__int64 value) { return Printf("%lld", value); }
CString itoc0(int value) { return value == 0 ? CString() : itoc(value); }

CString itoc3(int value) {
  const long long v = value;
  const std::string digits = std::to_string(v < 0 ? -v : v);
  std::string out;
  if (v < 0) out += '-';
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return CString(std::move(out));
}

CString itox(int value, int radix) {
  if (radix == 10 && value < 0) {
    const CString magnitude = UnsignedInRadix(0u - static_cast<unsigned int>(value), 10);
    return CString('-') + magnitude;
  }
  return UnsignedInRadix(static_cast<unsigned int>(value), radix);
}

CString uitox(unsigned int value, int radix) { return UnsignedInRadix(value, radix); }

void pitoc(int value, CString& out, int width) { out = Printf("%*d", width, value); }
void apitoc(unsigned int value, CString& out, int width) { out = Printf("%*u", width, value); }
CString ftoc(double value) { return Printf("%g", value); }
