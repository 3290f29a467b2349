// Writing one converted argument of the formatter (format.h) the way glibc's
// printf writes it: padding, signs, prefixes and precision.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <xtbasis/platform/formatargs.h>

#include "format_conversion.h"

namespace xtb::format {

// d i u o x X: `magnitude` with a '-' when `negative`.
void WriteInteger(std::string& out, const Conversion& conversion, uint64_t magnitude, bool negative);

// p: "0x..." like %#lx, "(nil)" for null.
void WritePointer(std::string& out, const Conversion& conversion, const void* pointer);

// s S: a narrow, counted, wide or UTF-16 text argument (wide text as code
// page 1252), cut to the precision, padded to the width.
void WriteText(std::string& out, const Conversion& conversion, const XTFormatArg& text);

// c C: one character; a wide one as its 1252 byte.
void WriteCharacter(std::string& out, const Conversion& conversion, int64_t value);

// Floating point, a double or *longDouble when not null (plain %f of a
// double written here, the other forms by the C library), and %m with no
// argument; WriteGroupedInteger: integers with the ' flag, grouped by the
// C library as the locale says.
void WriteByCLibrary(std::string& out, const Conversion& conversion, double value, const long double* longDouble);
void WriteGroupedInteger(std::string& out, const Conversion& conversion, uint64_t magnitude, bool negative);

}  // namespace xtb::format
