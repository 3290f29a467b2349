// The formatter against the C library's snprintf: a format made of literal
// text and conversions the input picks (flags, width, precision, length),
// each given an argument of the type the conversion defines, must give
// snprintf's bytes on both ways in (typed and va_list).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "format.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_at >= m_size; }
  uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
  uint64_t Word() {
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value = value << 8 | Byte();
    return value;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_at = 0;
};

std::string Typed(const std::string& format, const XTFormatArg& arg) {
  std::string out;
  xtb::AppendFormatted(out, format.c_str(), &arg, 1);
  return out;
}

std::string ThroughVaList(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out;
  xtb::AppendFormattedV(out, format, args);
  va_end(args);
  return out;
}

template <typename Value>
void Check(const std::string& format, const Value& value) {
  char expected[512];
  const int n = std::snprintf(expected, sizeof expected, format.c_str(), value);
  if (n < 0 || static_cast<size_t>(n) >= sizeof expected) return;
  const std::string wanted(expected, static_cast<size_t>(n));
  if (Typed(format, xtb::FormatArgOf(value)) != wanted) std::abort();
  if (ThroughVaList(format.c_str(), value) != wanted) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  static const char kFlags[] = "-+ #0";
  static const char* const kText[] = {"", "Zahn", "Gr\xFC\xDF", "0123456789abcdefghij"};
  while (!in.Empty()) {
    std::string format = "<";
    const uint8_t flags = in.Byte();
    format += '%';
    for (int i = 0; i < 5; ++i)
      if (flags & (1 << i)) format += kFlags[i];
    const uint8_t width = in.Byte();
    if (width & 0x80) format += std::to_string(width & 0x3F);
    const uint8_t precision = in.Byte();
    if (precision & 0x80) format += "." + std::to_string(precision & 0x3F);
    const uint8_t pick = in.Byte() % 12;
    const uint64_t bits = in.Word();
    switch (pick) {
      case 0: Check(format + "d>", static_cast<int>(bits)); break;
      case 1: Check(format + "u>", static_cast<unsigned>(bits)); break;
      case 2: Check(format + "x>", static_cast<unsigned>(bits)); break;
      case 3: Check(format + "llX>", static_cast<unsigned long long>(bits)); break;
      case 4: Check(format + "lli>", static_cast<long long>(bits)); break;
      case 5: Check(format + "ho>", static_cast<int>(bits)); break;
      case 6: Check(format + "hhd>", static_cast<int>(bits)); break;
      case 7: Check(format + "s>", kText[bits % 4]); break;
      case 8: Check(format + "c>", static_cast<int>(bits & 0x7F) | 0x20); break;
      case 9: Check(format + "p>", reinterpret_cast<const void*>(bits)); break;
      case 10: {
        double value;
        std::memcpy(&value, &bits, sizeof value);
        Check(format + "aeEfgG"[bits % 6] + ">", value);
        break;
      }
      default: Check(format + "zu>", static_cast<size_t>(bits)); break;
    }
  }
  return 0;
}
