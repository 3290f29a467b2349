// Where sprintf_s, _snprintf, _snprintf_s and the console forms put their
// text, by the Windows runtime's rules for each.
#include <xtbasis/win32/crt_strings.h>

#include <cstdio>
#include <cstring>

#include "invalid_parameter.h"

namespace xtb::win32 {

namespace {

// The text up to its first NUL, as the C forms count it.
size_t LengthOf(const CString& text) { return std::strlen(text.GetString()); }

int StoreCounted(char* buffer, size_t count, const CString& text) {
  const size_t length = LengthOf(text);
  if (!buffer) {
    if (count == 0) return static_cast<int>(length);
    InvalidParameter(EINVAL);
    return -1;
  }
  if (length < count) {
    std::memcpy(buffer, text.GetString(), length + 1);
    return static_cast<int>(length);
  }
  std::memcpy(buffer, text.GetString(), count);  // no room for the NUL
  return length == count ? static_cast<int>(length) : -1;
}

}  // namespace

int WriteFormatted(std::FILE* stream, const CString& text) {
  const size_t length = LengthOf(text);
  if (std::fwrite(text.GetString(), 1, length, stream) != length) return -1;
  return static_cast<int>(length);
}

int RefuseNullFormat(char* buffer, size_t size) {
  InvalidParameterEmptying(buffer, size, EINVAL);
  return -1;
}

int StoreFormatted(char* buffer, size_t size, const CString& text, BufferRule rule) {
  if (rule == BufferRule::kCount) return StoreCounted(buffer, size, text);
  if (!buffer || size == 0) {
    InvalidParameter(EINVAL);
    return -1;
  }
  const size_t length = LengthOf(text);
  if (length >= size) {
    InvalidParameterEmptying(buffer, size, ERANGE);
    return -1;
  }
  std::memcpy(buffer, text.GetString(), length + 1);
  return static_cast<int>(length);
}

int StoreFormattedLimited(char* buffer, size_t size, size_t count, const CString& text) {
  if (!buffer || size == 0) {
    InvalidParameter(EINVAL);
    return -1;
  }
  const size_t length = LengthOf(text);
  const size_t limit = count == _TRUNCATE ? size - 1 : count;
  const size_t kept = length < limit ? length : limit;
  if (kept >= size) {
    InvalidParameterEmptying(buffer, size, ERANGE);
    return -1;
  }
  std::memcpy(buffer, text.GetString(), kept);
  buffer[kept] = '\0';
  return kept < length ? -1 : static_cast<int>(length);
}

}  // namespace xtb::win32

namespace {

CString FormattedV(const char* format, va_list args) {
  CString text;
  text.FormatV(format, args);
  return text;
}

}  // namespace

int vsprintf_s(char* buffer, size_t size, const char* format, va_list args) {
  if (!format) return xtb::win32::RefuseNullFormat(buffer, size);
  return xtb::win32::StoreFormatted(buffer, size, FormattedV(format, args), xtb::win32::BufferRule::kWhole);
}

int _vsnprintf(char* buffer, size_t count, const char* format, va_list args) {
  if (!format) return xtb::win32::RefuseNullFormat(buffer, count);
  return xtb::win32::StoreFormatted(buffer, count, FormattedV(format, args), xtb::win32::BufferRule::kCount);
}

int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args) {
  if (!format) return xtb::win32::RefuseNullFormat(buffer, size);
  return xtb::win32::StoreFormattedLimited(buffer, size, count, FormattedV(format, args));
}

int _vscprintf(const char* format, va_list args) {
  if (!format) return xtb::win32::RefuseNullFormat(nullptr, 0);
  return static_cast<int>(std::strlen(FormattedV(format, args).GetString()));
}
