// The message formatter's insert language: %1 to %99, each with an optional
// printf conversion between '!' marks, and the escapes %%, %n, %r, %t, %0.
#include "format_message.h"

#include <cstring>

#include "format.h"

namespace xtb {

bool ReadMessageInsert(const char*& p, size_t& number, std::string& conversion) {
  if (*p < '1' || *p > '9') return false;
  number = static_cast<size_t>(*p++ - '0');
  if (*p >= '0' && *p <= '9') number = number * 10 + static_cast<size_t>(*p++ - '0');
  conversion = "s";
  if (*p == '!') {
    const char* end = std::strchr(p + 1, '!');
    if (end != nullptr && end > p + 1) {
      conversion.assign(p + 1, end);
      p = end + 1;
    }
  }
  return true;
}

bool AppendMessageEscape(std::string& out, char ch) {
  switch (ch) {
    case '\0':
    case '0':
      return false;
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
      out += ch;  // %%, %., %!, "% " and every other character stand for themselves
      break;
  }
  return true;
}

void AppendMessageInserts(std::string& out, const char* format, const XTFormatArg* args, size_t count) {
  if (format == nullptr) return;
  size_t number;
  std::string conversion;
  for (const char* p = format; *p;) {
    if (*p != '%') {
      out += *p++;
      continue;
    }
    ++p;
    if (ReadMessageInsert(p, number, conversion)) {
      // The conversion reads the insert's argument and, for '*', the ones after it.
      if (number <= count)
        AppendFormatted(out, ("%" + conversion).c_str(), args + number - 1, count - (number - 1));
      continue;
    }
    if (!AppendMessageEscape(out, *p)) return;
    ++p;
  }
}

}  // namespace xtb
