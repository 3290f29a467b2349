// The formatter's walk over a format (see format.h) and its two argument
// sources: the typed list and the va_list.
#include "format.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "format_conversion.h"
#include "format_write.h"

namespace xtb {
namespace {

using format::Length;
using format::Conversion;

// What a conversion asks its argument to be.
enum class Want { integer, floating, text, character, pointer, anything };

Want WantOf(char conversion) {
  switch (conversion) {
    case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': return Want::integer;
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': return Want::floating;
    case 's': case 'S': return Want::text;
    case 'c': case 'C': return Want::character;
    case 'p': return Want::pointer;
    default: return Want::anything;  // %n
  }
}

// Arguments as the templates of the public headers recorded them.
class TypedSource {
 public:
  TypedSource(const XTFormatArg* args, size_t count) : m_next(args), m_end(args + count) {}
  const XTFormatArg* Next(Want, const Conversion&) { return m_next < m_end ? m_next++ : nullptr; }

 private:
  const XTFormatArg* m_next;
  const XTFormatArg* m_end;
};

// C variadic arguments, read as the format's own types.
class VaSource {
 public:
  explicit VaSource(va_list args) { va_copy(m_args, args); }
  ~VaSource() { va_end(m_args); }
  VaSource(const VaSource&) = delete;
  VaSource& operator=(const VaSource&) = delete;

  const XTFormatArg* Next(Want want, const Conversion& conversion) {
    m_arg = XTFormatArg{};
    switch (want) {
      case Want::integer: ReadInteger(conversion.length); break;
      case Want::floating:
        if (conversion.length == Length::L) {
          m_longDouble = va_arg(m_args, long double);
          m_arg.kind = XTFORMAT_LONG_DOUBLE;
          m_arg.value.ld = &m_longDouble;
        } else {
          m_arg.kind = XTFORMAT_DOUBLE;
          m_arg.value.d = va_arg(m_args, double);
        }
        break;
      case Want::text:
        if (format::IsWide(conversion)) {
          m_arg.kind = XTFORMAT_WIDE_STRING;
          m_arg.value.ws = va_arg(m_args, const wchar_t*);
        } else {
          m_arg.kind = XTFORMAT_STRING;
          m_arg.value.s = va_arg(m_args, const char*);
        }
        break;
      case Want::character:
        m_arg.kind = XTFORMAT_SIGNED;
        m_arg.bits = 32;
        m_arg.value.i = va_arg(m_args, int);  // wint_t and char arrive as int
        break;
      case Want::pointer:
      case Want::anything:
        m_arg.kind = XTFORMAT_POINTER;
        m_arg.value.p = va_arg(m_args, const void*);
        break;
    }
    return &m_arg;
  }

 private:
  void ReadInteger(Length length) {
    m_arg.kind = XTFORMAT_SIGNED;
    switch (format::IntegerBits(length, 0)) {
      case 64:
        m_arg.bits = 64;
        m_arg.value.i = va_arg(m_args, long long);
        break;
      default:  // hh and h arrive promoted to int
        m_arg.bits = 32;
        m_arg.value.i = va_arg(m_args, int);
        break;
    }
  }

  va_list m_args;
  XTFormatArg m_arg{};
  long double m_longDouble = 0;
};

bool IsText(const XTFormatArg& arg) {
  return arg.kind == XTFORMAT_STRING || arg.kind == XTFORMAT_COUNTED_STRING || arg.kind == XTFORMAT_WIDE_STRING ||
         arg.kind == XTFORMAT_UTF16_STRING;
}

bool IsInteger(const XTFormatArg& arg) { return arg.kind == XTFORMAT_SIGNED || arg.kind == XTFORMAT_UNSIGNED; }

double FloatingValue(const XTFormatArg& arg) {
  switch (arg.kind) {
    case XTFORMAT_SIGNED: return static_cast<double>(arg.value.i);
    case XTFORMAT_UNSIGNED: return static_cast<double>(arg.value.u);
    default: return arg.value.d;
  }
}

// The argument's bits as a 64-bit pattern (a floating-point value
// converted, saturating).
uint64_t RawInteger(const XTFormatArg& arg) {
  switch (arg.kind) {
    case XTFORMAT_SIGNED: return static_cast<uint64_t>(arg.value.i);
    case XTFORMAT_UNSIGNED: return arg.value.u;
    case XTFORMAT_DOUBLE:
    case XTFORMAT_LONG_DOUBLE: {
      const long double value = arg.kind == XTFORMAT_DOUBLE ? arg.value.d : *arg.value.ld;
      if (std::isnan(value)) return 0;
      if (value <= static_cast<long double>(std::numeric_limits<int64_t>::min()))
        return static_cast<uint64_t>(std::numeric_limits<int64_t>::min());
      if (value >= static_cast<long double>(std::numeric_limits<uint64_t>::max()))
        return std::numeric_limits<uint64_t>::max();
      return value < 0 ? static_cast<uint64_t>(static_cast<int64_t>(value)) : static_cast<uint64_t>(value);
    }
    default: return reinterpret_cast<uintptr_t>(arg.value.p);
  }
}

void WriteIntegerConversion(std::string& out, const Conversion& conversion, const XTFormatArg& arg) {
  const int argumentBits = IsInteger(arg) ? arg.bits : 64;
  const int bits = format::IntegerBits(conversion.length, argumentBits);
  const uint64_t raw = RawInteger(arg);
  uint64_t magnitude = bits == 64 ? raw : raw & ((uint64_t{1} << bits) - 1);
  bool negative = false;
  if (conversion.letter == 'd' || conversion.letter == 'i') {
    const unsigned shift = static_cast<unsigned>(64 - bits);
    const int64_t value = static_cast<int64_t>(raw << shift) >> shift;
    negative = value < 0;
    magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  }
  if (conversion.grouping) format::WriteGroupedInteger(out, conversion, magnitude, negative);
  else format::WriteInteger(out, conversion, magnitude, negative);
}

void WriteConversion(std::string& out, const Conversion& conversion, const XTFormatArg& arg) {
  switch (WantOf(conversion.letter)) {
    case Want::integer:
      WriteIntegerConversion(out, conversion, arg);
      break;
    case Want::floating:
      if (arg.kind == XTFORMAT_LONG_DOUBLE) format::WriteByCLibrary(out, conversion, 0, arg.value.ld);
      else if (arg.kind == XTFORMAT_DOUBLE || IsInteger(arg)) format::WriteByCLibrary(out, conversion, FloatingValue(arg), nullptr);
      break;
    case Want::text:
      if (IsText(arg)) format::WriteText(out, conversion, arg);
      break;
    case Want::character:
      if (IsInteger(arg)) format::WriteCharacter(out, conversion, arg.value.i);
      break;
    case Want::pointer:
      if (IsText(arg) || arg.kind == XTFORMAT_POINTER) format::WritePointer(out, conversion, arg.value.p);
      else if (IsInteger(arg)) format::WritePointer(out, conversion, reinterpret_cast<const void*>(RawInteger(arg)));
      break;
    case Want::anything:  // %n stores nothing
      break;
  }
}

// A '*' width or precision; false when the argument is missing or no integer.
template <typename Source>
bool ReadStar(Source& source, int& number) {
  const XTFormatArg* arg = source.Next(Want::integer, Conversion{});
  if (!arg || !IsInteger(*arg)) return false;
  number = static_cast<int>(static_cast<uint32_t>(RawInteger(*arg)));
  return true;
}

template <typename Source>
void Walk(std::string& out, const char* format, Source& source) {
  if (!format) return;
  for (const char* at = format;;) {
    const char* percent = std::strchr(at, '%');
    if (!percent) {
      out.append(at);
      return;
    }
    out.append(at, static_cast<size_t>(percent - at));
    Conversion conversion;
    const char* next = format::ParseConversion(percent + 1, conversion);
    if (!next) return;  // the format ends inside a conversion
    at = next;
    if (conversion.letter == 0) {
      out.append(percent, static_cast<size_t>(next - percent));
      continue;
    }
    if (conversion.letter == '%') {
      out += '%';
      continue;
    }
    if (conversion.widthFromArg) {
      int width = 0;
      if (!ReadStar(source, width)) continue;
      if (width < 0) {
        conversion.minus = true;
        width = width == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -width;
      }
      conversion.width = width;
    }
    if (conversion.precisionFromArg) {
      int precision = -1;
      if (!ReadStar(source, precision)) continue;
      conversion.precision = precision < 0 ? -1 : precision;
    }
    if (conversion.letter == 'm') {
      format::WriteByCLibrary(out, conversion, 0, nullptr);
      continue;
    }
    if (const XTFormatArg* arg = source.Next(WantOf(conversion.letter), conversion)) WriteConversion(out, conversion, *arg);
  }
}

}  // namespace

void AppendFormatted(std::string& out, const char* format, const XTFormatArg* args, size_t count) {
  TypedSource source(args, count);
  Walk(out, format, source);
}

void AppendFormattedV(std::string& out, const char* format, va_list args) {
  VaSource source(args);
  Walk(out, format, source);
}

}  // namespace xtb
