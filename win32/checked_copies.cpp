// strcpy_s and its kin as the Windows runtime checks them.
#include <xtbasis/win32/crt_strings.h>

#include <cstring>

#include "invalid_parameter.h"

namespace {

using xtb::win32::InvalidParameter;
using xtb::win32::InvalidParameterEmptying;

// Writes at most `count` characters of `source` at `destination`, which has
// `room` bytes, and a NUL; `start` is the buffer as the caller gave it.
errno_t CopyAt(char* start, size_t size, char* destination, size_t room, const char* source, size_t count) {
  const bool truncating = count == _TRUNCATE;
  const size_t wanted = strnlen(source, truncating ? room : count);
  if (wanted < room) {
    std::memcpy(destination, source, wanted);
    destination[wanted] = '\0';
    return 0;
  }
  if (truncating) {
    std::memcpy(destination, source, room - 1);
    destination[room - 1] = '\0';
    return STRUNCATE;
  }
  return InvalidParameterEmptying(start, size, ERANGE);
}

// The end of the text in `destination`, or null when it has no NUL within `size`.
char* EndWithin(char* destination, size_t size) {
  return static_cast<char*>(std::memchr(destination, '\0', size));
}

}  // namespace

errno_t strcpy_s(char* destination, rsize_t size, const char* source) {
  if (!destination || size == 0) return InvalidParameter(EINVAL);
  if (!source) return InvalidParameterEmptying(destination, size, EINVAL);
  return CopyAt(destination, size, destination, size, source, size);
}

errno_t strncpy_s(char* destination, rsize_t size, const char* source, rsize_t count) {
  if (!destination && size == 0 && count == 0) return 0;
  if (!destination || size == 0) return InvalidParameter(EINVAL);
  if (count == 0) {
    destination[0] = '\0';
    return 0;
  }
  if (!source) return InvalidParameterEmptying(destination, size, EINVAL);
  return CopyAt(destination, size, destination, size, source, count);
}

errno_t strcat_s(char* destination, rsize_t size, const char* source) {
  if (!destination || size == 0) return InvalidParameter(EINVAL);
  if (!source) return InvalidParameterEmptying(destination, size, EINVAL);
  char* end = EndWithin(destination, size);
  if (!end) return InvalidParameterEmptying(destination, size, EINVAL);
  const size_t room = size - static_cast<size_t>(end - destination);
  return CopyAt(destination, size, end, room, source, room);
}

errno_t strncat_s(char* destination, rsize_t size, const char* source, rsize_t count) {
  if (!destination && size == 0 && count == 0) return 0;
  if (!destination || size == 0) return InvalidParameter(EINVAL);
  if (!source && count > 0) return InvalidParameterEmptying(destination, size, EINVAL);
  char* end = EndWithin(destination, size);
  if (!end) return InvalidParameterEmptying(destination, size, EINVAL);
  if (count == 0) return 0;
  const size_t room = size - static_cast<size_t>(end - destination);
  return CopyAt(destination, size, end, room, source, count);
}
