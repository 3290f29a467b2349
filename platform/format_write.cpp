// The conversions of the formatter: integers, pointers, texts, characters
// and plain %f written here, the other floating-point forms and
// locale-grouped numbers by snprintf.
#include "format_write.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "utf8cp1252.h"

namespace xtb::format {
namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The digits of `value` in `base`, written backwards from `end`; returns
// where they start. Zero gives "0".
char* Digits(uint64_t value, int base, bool upper, char* end) {
  char* at = end;
  if (base == 10) {
    while (value >= 100) {
      const unsigned pair = static_cast<unsigned>(value % 100) * 2;
      value /= 100;
      *--at = kDigitPairs[pair + 1];
      *--at = kDigitPairs[pair];
    }
    if (value >= 10) {
      const unsigned pair = static_cast<unsigned>(value) * 2;
      *--at = kDigitPairs[pair + 1];
      *--at = kDigitPairs[pair];
    } else {
      *--at = static_cast<char>('0' + value);
    }
    return at;
  }
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  const unsigned shift = base == 16 ? 4 : 3;
  const uint64_t mask = static_cast<uint64_t>(base - 1);
  do {
    *--at = digits[value & mask];
    value >>= shift;
  } while (value != 0);
  return at;
}

void Pad(std::string& out, size_t count, char with) {
  if (count > 0) out.append(count, with);
}

// prefix, leading zeros, digits, padded to the width.
void WriteNumber(std::string& out, const Conversion& conversion, std::string_view prefix, size_t zeros, std::string_view digits,
                 bool zeroPad) {
  const size_t length = prefix.size() + zeros + digits.size();
  const size_t fill = conversion.width > 0 && static_cast<size_t>(conversion.width) > length ? conversion.width - length : 0;
  if (!conversion.minus && !zeroPad) Pad(out, fill, ' ');
  out.append(prefix);
  if (!conversion.minus && zeroPad) Pad(out, fill, '0');
  Pad(out, zeros, '0');
  out.append(digits);
  if (conversion.minus) Pad(out, fill, ' ');
}

void WritePadded(std::string& out, const Conversion& conversion, std::string_view text) {
  const size_t fill = conversion.width > 0 && static_cast<size_t>(conversion.width) > text.size() ? conversion.width - text.size() : 0;
  if (!conversion.minus) Pad(out, fill, ' ');
  out.append(text);
  if (conversion.minus) Pad(out, fill, ' ');
}

char Cp1252Of(uint32_t codePoint) {
  const int byte = Cp1252ByteOf(static_cast<char32_t>(codePoint));
  return byte < 0 ? '?' : static_cast<char>(byte);
}

// Wide or UTF-16 text as 1252, at most `limit` bytes.
template <typename Unit>
std::string NarrowText(const Unit* text, size_t limit) {
  std::string narrow;
  for (; *text != 0 && narrow.size() < limit; ++text) {
    uint32_t codePoint = static_cast<uint32_t>(*text);
    if constexpr (sizeof(Unit) == 2) {
      if (codePoint >= 0xD800 && codePoint < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000) {
        codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (static_cast<uint32_t>(text[1]) - 0xDC00);
        ++text;
      }
    }
    narrow += Cp1252Of(codePoint);
  }
  return narrow;
}

// snprintf's form of one conversion, rebuilt from the conversion with the
// resolved width and precision and the given length letters.
struct CForm {
  char text[48];
};

char* PutNumber(char* at, int number) {
  char digits[12];
  char* const end = digits + sizeof digits;
  const char* start = Digits(static_cast<uint64_t>(number), 10, false, end);
  while (start < end) *at++ = *start++;
  return at;
}

CForm CLibraryFormat(const Conversion& conversion, const char* length) {
  CForm form;
  char* at = form.text;
  *at++ = '%';
  if (conversion.minus) *at++ = '-';
  if (conversion.plus) *at++ = '+';
  if (conversion.space) *at++ = ' ';
  if (conversion.hash) *at++ = '#';
  if (conversion.zero) *at++ = '0';
  if (conversion.grouping) *at++ = '\'';
  if (conversion.width > 0) at = PutNumber(at, conversion.width);
  if (conversion.precision >= 0) {
    *at++ = '.';
    at = PutNumber(at, conversion.precision);
  }
  while (*length) *at++ = *length++;
  *at++ = conversion.letter;
  *at = '\0';
  return form;
}

template <typename Value>
void AppendSnprintf(std::string& out, const CForm& form, Value value) {
  char small[128];
  const int needed = std::snprintf(small, sizeof small, form.text, value);
  if (needed < 0) return;
  if (static_cast<size_t>(needed) < sizeof small) {
    out.append(small, static_cast<size_t>(needed));
    return;
  }
  const size_t old = out.size();
  out.resize(old + static_cast<size_t>(needed) + 1);
  std::snprintf(out.data() + old, static_cast<size_t>(needed) + 1, form.text, value);
  out.resize(old + static_cast<size_t>(needed));
}

}  // namespace

void WriteInteger(std::string& out, const Conversion& conversion, uint64_t magnitude, bool negative) {
  const char letter = conversion.letter;
  const bool isSigned = letter == 'd' || letter == 'i';
  const int base = letter == 'x' || letter == 'X' ? 16 : letter == 'o' ? 8 : 10;
  char buffer[24];
  char* const end = buffer + sizeof buffer;
  char* start = Digits(magnitude, base, letter == 'X', end);
  if (conversion.precision == 0 && magnitude == 0) start = end;
  const size_t digits = static_cast<size_t>(end - start);
  size_t zeros = conversion.precision > 0 && static_cast<size_t>(conversion.precision) > digits ? conversion.precision - digits : 0;
  if (base == 8 && conversion.hash && zeros == 0 && (digits == 0 || *start != '0')) zeros = 1;

  char prefix[2];
  size_t prefixLength = 0;
  if (isSigned) {
    if (negative) prefix[prefixLength++] = '-';
    else if (conversion.plus) prefix[prefixLength++] = '+';
    else if (conversion.space) prefix[prefixLength++] = ' ';
  } else if (base == 16 && conversion.hash && magnitude != 0) {
    prefix[prefixLength++] = '0';
    prefix[prefixLength++] = letter;
  }
  WriteNumber(out, conversion, {prefix, prefixLength}, zeros, {start, digits}, conversion.zero && conversion.precision < 0);
}

void WritePointer(std::string& out, const Conversion& conversion, const void* pointer) {
  if (!pointer) {
    WritePadded(out, conversion, "(nil)");
    return;
  }
  char buffer[24];
  char* const end = buffer + sizeof buffer;
  const char* start = Digits(reinterpret_cast<uintptr_t>(pointer), 16, false, end);
  const size_t digits = static_cast<size_t>(end - start);
  const size_t zeros = conversion.precision > 0 && static_cast<size_t>(conversion.precision) > digits ? conversion.precision - digits : 0;
  char prefix[3];
  size_t prefixLength = 0;
  if (conversion.plus) prefix[prefixLength++] = '+';
  else if (conversion.space) prefix[prefixLength++] = ' ';
  prefix[prefixLength++] = '0';
  prefix[prefixLength++] = 'x';
  WriteNumber(out, conversion, {prefix, prefixLength}, zeros, {start, digits}, conversion.zero && conversion.precision < 0);
}

void WriteText(std::string& out, const Conversion& conversion, const XTFormatArg& text) {
  const size_t limit = conversion.precision >= 0 ? static_cast<size_t>(conversion.precision) : SIZE_MAX;
  switch (text.kind) {
    case XTFORMAT_COUNTED_STRING:
      WritePadded(out, conversion, std::string_view(text.value.s, text.length).substr(0, limit));
      return;
    case XTFORMAT_WIDE_STRING:
      if (text.value.ws) return WritePadded(out, conversion, NarrowText(text.value.ws, limit));
      break;
    case XTFORMAT_UTF16_STRING:
      if (text.value.s16) return WritePadded(out, conversion, NarrowText(text.value.s16, limit));
      break;
    default:
      if (text.value.s) return WritePadded(out, conversion, {text.value.s, strnlen(text.value.s, limit)});
      break;
  }
  // A null text: glibc's "(null)" where the precision leaves room for it.
  WritePadded(out, conversion, limit >= 6 ? "(null)" : "");
}

void WriteCharacter(std::string& out, const Conversion& conversion, int64_t value) {
  const char character = IsWide(conversion) ? Cp1252Of(static_cast<uint32_t>(value)) : static_cast<char>(value);
  WritePadded(out, conversion, {&character, 1});
}

// %f of a finite double without '#' or grouping: std::to_chars gives
// printf's digits in the C locale; the decimal point is the locale's.
bool WriteFixed(std::string& out, const Conversion& conversion, double value) {
  if ((conversion.letter != 'f' && conversion.letter != 'F') || conversion.hash || conversion.grouping || !std::isfinite(value))
    return false;
  const int precision = conversion.precision < 0 ? 6 : conversion.precision;
  char buffer[96];
  const bool negative = std::signbit(value);
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, negative ? -value : value, std::chars_format::fixed, precision);
  if (error != std::errc()) return false;
  const char* point = localeconv()->decimal_point;
  if (precision > 0 && point && (point[0] != '.' || point[1] != '\0')) {
    if (point[1] != '\0') return false;  // a point of several bytes: the C library writes it
    *(end - precision - 1) = point[0];
  }
  char prefix = 0;
  if (negative) prefix = '-';
  else if (conversion.plus) prefix = '+';
  else if (conversion.space) prefix = ' ';
  WriteNumber(out, conversion, {&prefix, prefix ? size_t{1} : 0}, 0, {buffer, static_cast<size_t>(end - buffer)},
              conversion.zero);
  return true;
}

void WriteByCLibrary(std::string& out, const Conversion& conversion, double value, const long double* longDouble) {
  if (!longDouble && conversion.letter != 'm' && WriteFixed(out, conversion, value)) return;
  if (conversion.letter == 'm') {
    AppendSnprintf(out, CLibraryFormat(conversion, ""), 0);
  } else if (longDouble) {
    AppendSnprintf(out, CLibraryFormat(conversion, "L"), *longDouble);
  } else {
    AppendSnprintf(out, CLibraryFormat(conversion, ""), value);
  }
}

void WriteGroupedInteger(std::string& out, const Conversion& conversion, uint64_t magnitude, bool negative) {
  const CForm form = CLibraryFormat(conversion, "ll");
  if (negative) AppendSnprintf(out, form, -static_cast<long long>(magnitude - 1) - 1);
  else if (conversion.letter == 'd' || conversion.letter == 'i') AppendSnprintf(out, form, static_cast<long long>(magnitude));
  else AppendSnprintf(out, form, static_cast<unsigned long long>(magnitude));
}

}  // namespace xtb::format
