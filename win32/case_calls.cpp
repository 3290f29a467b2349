// The runtime's case-blind comparisons and case changes on code page 1252.
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/win32/crt_strings.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "invalid_parameter.h"

namespace {

namespace cp = xtb::cp1252;

int FoldedDifference(char a, char b) {
  return static_cast<uint8_t>(cp::ToLower(a)) - static_cast<uint8_t>(cp::ToLower(b));
}

template <class Change>
errno_t ChangeWithin(char* text, size_t size, Change change) {
  if (!text) return xtb::win32::InvalidParameter(EINVAL);
  char* end = static_cast<char*>(std::memchr(text, '\0', size));
  if (!end) return xtb::win32::InvalidParameterEmptying(text, size, EINVAL);
  for (char* p = text; p < end; ++p) *p = change(*p);
  return 0;
}

char* RefuseNullText() {
  xtb::win32::InvalidParameter(EINVAL);
  return nullptr;
}

template <class Change>
char* ChangeAll(char* text, Change change) {
  if (!text) return RefuseNullText();
  for (char* p = text; *p; ++p) *p = change(*p);
  return text;
}

}  // namespace

int _strnicmp(const char* first, const char* second, size_t count) {
  if (!first || !second) {
    xtb::win32::InvalidParameter(EINVAL);
    return INT32_MAX;  // the runtime's _NLSCMPERROR
  }
  for (size_t i = 0; i < count; ++i) {
    const int difference = FoldedDifference(first[i], second[i]);
    if (difference != 0 || first[i] == '\0') return difference;
  }
  return 0;
}

int _stricmp(const char* first, const char* second) { return _strnicmp(first, second, SIZE_MAX); }

char* _strupr(char* text) { return ChangeAll(text, cp::ToUpper); }
char* _strlwr(char* text) { return ChangeAll(text, cp::ToLower); }
errno_t _strupr_s(char* text, size_t size) { return ChangeWithin(text, size, cp::ToUpper); }
errno_t _strlwr_s(char* text, size_t size) { return ChangeWithin(text, size, cp::ToLower); }

char* _strrev(char* text) {
  if (!text) return RefuseNullText();
  char* low = text;
  char* high = text + std::strlen(text);
  while (low < high && low < --high) {
    const char swap = *low;
    *low++ = *high;
    *high = swap;
  }
  return text;
}

char* _strdup(const char* text) {
  if (!text) return nullptr;
  const size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}
