// Number reading as the Windows C runtime does it. Its long has 32 bits, so
// strtol, strtoul, atol and atoi saturate at the 32-bit limits where glibc's
// 64-bit long would carry on (or, for atoi, be cut to its low 32 bits).
#pragma once

#include <cstdint>

namespace xtb::winlong {

// strtol: a value beyond the 32-bit range gives INT32_MAX or INT32_MIN.
int32_t StrToL(const char* text, char** end, int base);

// strtoul: a negative text is negated in 32 bits ("-1" gives 0xFFFFFFFF); a
// magnitude beyond 32 bits gives 0xFFFFFFFF, whatever the sign.
uint32_t StrToUL(const char* text, char** end, int base);

// atol and atoi: StrToL in base 10; a null text gives 0.
inline int32_t AToL(const char* text) { return text ? StrToL(text, nullptr, 10) : 0; }

}  // namespace xtb::winlong
