#include "invalid_parameter.h"

#include <atomic>
#include <cerrno>

namespace {

std::atomic<_invalid_parameter_handler> g_handler{nullptr};

}  // namespace

_invalid_parameter_handler _set_invalid_parameter_handler(_invalid_parameter_handler handler) {
  return g_handler.exchange(handler);
}

_invalid_parameter_handler _get_invalid_parameter_handler(void) { return g_handler.load(); }

namespace xtb::win32 {

errno_t InvalidParameter(errno_t error) {
  if (_invalid_parameter_handler handler = g_handler.load()) handler(nullptr, nullptr, nullptr, 0, 0);
  errno = error;
  return error;
}

errno_t InvalidParameterEmptying(char* buffer, size_t size, errno_t error) {
  if (buffer && size > 0) buffer[0] = '\0';
  return InvalidParameter(error);
}

}  // namespace xtb::win32
