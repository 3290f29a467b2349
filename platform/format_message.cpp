// The message formatter's insert language: %1 to %99, each with an optional
// printf conversion between '!' marks, and the escapes %%, %n, %r, %t, %0.
#include "format_message.h"

#include <cstring>

#include "format.h"

namespace xtb {
namespace {

// The insert number at `p` (one or two digits, 1 to 99); 0 when there is none.
size_t InsertNumber(const char*& p) {
  if (*p < '1' || *p > '9') return 0;
  size_t number = static_cast<size_t>(*p++ - '0');
  if (*p >= '0' && *p <= '9') number = number * 10 + static_cast<size_t>(*p++ - '0');
  return number;
}

// The printf conversion of the insert at `p` ("s" without one); `p` moves past it.
std::string ConversionOf(const char*& p) {
  if (*p == '!') {
    const char* end = std::strchr(p + 1, '!');
    if (end != nullptr && end > p + 1) {
      std::string conversion = "%" + std::string(p + 1, end);
      p = end + 1;
      return conversion;
    }
  }
  return "%s";
}

}  // namespace

void AppendMessageInserts(std::string& out, const char* format, const XTFormatArg* args, size_t count) {
  if (format == nullptr) return;
  for (const char* p = format; *p;) {
    if (*p != '%') {
      out += *p++;
      continue;
    }
    ++p;
    if (const size_t number = InsertNumber(p)) {
      const std::string conversion = ConversionOf(p);
      // The conversion reads the insert's argument and, for '*', the ones after it.
      if (number <= count) AppendFormatted(out, conversion.c_str(), args + number - 1, count - (number - 1));
      continue;
    }
    switch (*p) {
      case '\0':
        return;
      case '0':
        return;  // the text ends here
      case 'n':
        out += "\r\n";
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      default:
        out += *p;  // %%, %., %!, % and every other character stand for themselves
        break;
    }
    ++p;
  }
}

}  // namespace xtb
