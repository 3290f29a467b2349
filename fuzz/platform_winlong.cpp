// The 32-bit strtol and strtoul on arbitrary text: both stop where the C
// library's grammar stops, agree with each other wherever the value fits the
// signed range, and a value written back in decimal reads again as itself.
#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xtbasis/platform/winlong.h>

namespace {

void Check(const std::string& text, int base) {
  char* signedEnd = nullptr;
  char* unsignedEnd = nullptr;
  const int32_t s = xtb::winlong::StrToL(text.c_str(), &signedEnd, base);
  const uint32_t u = xtb::winlong::StrToUL(text.c_str(), &unsignedEnd, base);
  char* libcEnd = nullptr;
  (void)std::strtoll(text.c_str(), &libcEnd, base);
  if (signedEnd != libcEnd || unsignedEnd != libcEnd) std::abort();
  // Within the signed range both readers give the same 32-bit pattern.
  if (s != INT32_MAX && s != INT32_MIN && u != static_cast<uint32_t>(s)) std::abort();
  char written[16];
  std::snprintf(written, sizeof written, "%" PRId32, s);
  if (xtb::winlong::StrToL(written, nullptr, 10) != s) std::abort();
  std::snprintf(written, sizeof written, "%" PRIu32, u);
  if (xtb::winlong::StrToUL(written, nullptr, 10) != u) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the base: 0 (by prefix) or 2 to 36.
  const int pick = data[0] % 37;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  Check(text.substr(0, text.find('\0')), pick == 1 ? 0 : pick);
  return 0;
}
