#include "timeformat.h"

#include <langinfo.h>

#include <cstring>
#include <string>

#include "utf8cp1252.h"

namespace xtb {
namespace {

bool LocaleIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && std::strcmp(codeset, "UTF-8") == 0;
}

// One conversion such as "%d" or "%-d" through strftime.
std::string FormatOne(const std::string& conversion, const struct tm& tm) {
  char buffer[256];
  const size_t n = std::strftime(buffer, sizeof buffer, conversion.c_str(), &tm);
  return std::string(buffer, n);
}

}  // namespace

CString FormatTm(const char* format, const struct tm& tm) {
  std::string out;
  if (!format) return CString();
  const bool utf8 = LocaleIsUtf8();
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;  // literal text is already 1252
      continue;
    }
    std::string conversion = "%";
    if (p[1] == '#') {
      ++p;
      if (p[1] && std::strchr("dHIjmMSUwWyY", p[1])) conversion += '-';
    }
    if (p[1] == 'E' || p[1] == 'O') conversion += *++p;
    if (!p[1]) break;  // a lone '%' at the end gives nothing
    conversion += *++p;
    const std::string piece = FormatOne(conversion, tm);
    out += utf8 ? Utf8ToCp1252(piece) : piece;
  }
  return CString(std::move(out));
}

CString FormatSpan(const char* format, long long days, long hours, long minutes, long seconds) {
  static constexpr char kCodes[] = "DHMS";
  const long long values[] = {days, hours, minutes, seconds};
  CString out;
  if (!format) return out;
  for (const char* p = format; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out += *p;
      continue;
    }
    const char code = *++p;
    const char* found = code ? std::strchr(kCodes, code) : nullptr;
    if (found) {
      // Whole days as they are, the parts of a day with two digits.
      out.AppendFormat(found == kCodes ? "%lld" : "%02lld", values[found - kCodes]);
    } else {
      if (code != '%') out += '%';  // no code: copied as written
      out += code;
    }
  }
  return out;
}

CString ResourceFormat(UINT id) {
  CString format;
  format.LoadString(id);
  return format;
}

SYSTEMTIME SystemTimeOf(const struct tm& parts, WORD milliseconds) {
  return SYSTEMTIME{static_cast<WORD>(parts.tm_year + 1900), static_cast<WORD>(parts.tm_mon + 1),
                    static_cast<WORD>(parts.tm_wday),          static_cast<WORD>(parts.tm_mday),
                    static_cast<WORD>(parts.tm_hour),          static_cast<WORD>(parts.tm_min),
                    static_cast<WORD>(parts.tm_sec),           milliseconds};
}

}  // namespace xtb
