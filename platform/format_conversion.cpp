// Reading one conversion of a printf format.
#include "format_conversion.h"

#include <climits>

namespace xtb::format {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number; false when it does not fit an int (glibc refuses those too).
bool ReadNumber(const char*& at, int& number) {
  long long value = 0;
  for (; IsDigit(*at); ++at) {
    value = value * 10 + (*at - '0');
    if (value > INT_MAX) return false;
  }
  number = static_cast<int>(value);
  return true;
}

bool StartsWith(const char* at, char a, char b) { return at[0] == a && at[1] == b; }

const char* ReadLength(const char* at, Length& length) {
  switch (*at) {
    case 'h':
      if (at[1] == 'h') {
        length = Length::hh;
        return at + 2;
      }
      length = Length::h;
      return at + 1;
    case 'l':
      if (at[1] == 'l') {
        length = Length::ll;
        return at + 2;
      }
      length = Length::l;
      return at + 1;
    case 'L':
    case 'q':
      length = Length::ll;
      if (*at == 'L') length = Length::L;
      return at + 1;
    case 'j': length = Length::j; return at + 1;
    case 'z':
    case 'Z': length = Length::z; return at + 1;
    case 't': length = Length::t; return at + 1;
    case 'w': length = Length::w; return at + 1;
    case 'I':
      if (StartsWith(at + 1, '6', '4')) {
        length = Length::i64;
        return at + 3;
      }
      if (StartsWith(at + 1, '3', '2')) {
        length = Length::i32;
        return at + 3;
      }
      length = Length::iptr;
      return at + 1;
    default: return at;
  }
}

bool IsConversion(char c) {
  switch (c) {
    case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
    case 'c': case 'C': case 's': case 'S': case 'p': case 'n': case '%': case 'm':
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
      return true;
    default: return false;
  }
}

}  // namespace

const char* ParseConversion(const char* at, Conversion& conversion) {
  for (;; ++at) {
    if (*at == '-') conversion.minus = true;
    else if (*at == '+') conversion.plus = true;
    else if (*at == ' ') conversion.space = true;
    else if (*at == '#') conversion.hash = true;
    else if (*at == '0') conversion.zero = true;
    else if (*at == '\'') conversion.grouping = true;
    else break;
  }
  bool valid = true;
  if (*at == '*') {
    conversion.widthFromArg = true;
    ++at;
  } else {
    valid = ReadNumber(at, conversion.width);
  }
  if (*at == '$') valid = false;  // positional arguments are not read
  if (*at == '.') {
    ++at;
    if (*at == '*') {
      conversion.precisionFromArg = true;
      ++at;
    } else {
      conversion.precision = 0;
      valid = ReadNumber(at, conversion.precision) && valid;
    }
  }
  at = ReadLength(at, conversion.length);
  if (*at == '\0') return nullptr;
  conversion.letter = valid && IsConversion(*at) ? *at : 0;
  return at + 1;
}

int IntegerBits(Length length, int argumentBits) {
  switch (length) {
    case Length::hh: return 8;
    case Length::h: return 16;
    case Length::l: return argumentBits != 0 && argumentBits <= 32 ? 32 : 64;
    case Length::ll:
    case Length::L:
    case Length::j:
    case Length::z:
    case Length::t:
    case Length::i64:
    case Length::iptr: return 64;
    case Length::none:
    case Length::i32:
    case Length::w: return 32;
  }
  return 32;
}

}  // namespace xtb::format
