// One conversion of a printf format: its flags, width, precision, length and
// conversion character, as the formatter (format.h) reads them.
#pragma once

#include <cstdint>

namespace xtb::format {

enum class Length : uint8_t { none, hh, h, l, ll, L, j, z, t, i32, i64, iptr, w };

struct Conversion {
  bool minus = false;
  bool plus = false;
  bool space = false;
  bool hash = false;
  bool zero = false;
  bool grouping = false;  // the ' flag: thousands as the locale groups them
  bool widthFromArg = false;
  bool precisionFromArg = false;
  int width = 0;
  int precision = -1;  // -1: none given
  Length length = Length::none;
  char letter = 0;  // 0: a conversion this formatter copies as written
};

// Reads the conversion that follows a '%'; returns the position after it, or
// nullptr when the format ends inside it.
const char* ParseConversion(const char* at, Conversion& conversion);

// How many bits an integer conversion of `length` reads from an argument
// whose own type has `argumentBits` (a 32-bit argument under %l reads 32).
int IntegerBits(Length length, int argumentBits);

// %ls, %ws, %lc, %S, %C and the like: the argument is wide (%hS is narrow).
inline bool IsWide(const Conversion& conversion) {
  if (conversion.length == Length::h) return false;
  return conversion.letter == 'S' || conversion.letter == 'C' || conversion.length == Length::l || conversion.length == Length::w;
}

}  // namespace xtb::format
