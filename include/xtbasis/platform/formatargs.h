// Typed printf arguments. The printf-style functions of the library
// (CString::Format and AppendFormat, XTTrace, XTTraceF) keep their plain C
// variadic exports; in C++ the headers put a variadic template in front of
// each, which turns every argument into an XTFormatArg that records its real
// type, so that the formatter reads a CString or std::string given to %s as
// its text, and %ld given a 32-bit LONG or DWORD as 32 bits, as the Windows
// build did. C callers and dlsym see only the plain names.
//
// An argument that printf has no form for (a class other than a string) is a
// compile error here rather than garbage at run time.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

enum XTFormatArgKind {
  XTFORMAT_SIGNED,          // value.i, sign-extended from `bits`
  XTFORMAT_UNSIGNED,        // value.u, zero-extended from `bits`
  XTFORMAT_DOUBLE,          // value.d (float and double)
  XTFORMAT_LONG_DOUBLE,     // *value.ld
  XTFORMAT_STRING,          // value.s up to its NUL (may be null)
  XTFORMAT_COUNTED_STRING,  // `length` bytes at value.s
  XTFORMAT_WIDE_STRING,     // value.ws (wchar_t, may be null)
  XTFORMAT_UTF16_STRING,    // value.s16 (char16_t, may be null)
  XTFORMAT_POINTER          // value.p
};

typedef struct XTFormatArg {
  unsigned char kind;  // an XTFormatArgKind
  unsigned char bits;  // width of an integer's own type: 8, 16, 32 or 64
  uint32_t length;     // bytes of a counted string
  union {
    int64_t i;
    uint64_t u;
    double d;
    const long double* ld;
    const char* s;
    const wchar_t* ws;
    const uint16_t* s16;
    const void* p;
  } value;
} XTFormatArg;

#ifdef __cplusplus
#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

namespace xtb {

template <class T>
inline constexpr bool kNoPrintfForm = false;

template <class T>
XTFormatArg FormatArgOf(const T& argument) {
  using Value = std::remove_cv_t<std::decay_t<T>>;
  XTFormatArg arg{};
  if constexpr (std::is_enum_v<Value>) {
    return FormatArgOf(static_cast<std::underlying_type_t<Value>>(argument));
  } else if constexpr (std::is_integral_v<Value>) {
    arg.bits = static_cast<unsigned char>(sizeof(Value) * 8);
    if constexpr (std::is_signed_v<Value>) {
      arg.kind = XTFORMAT_SIGNED;
      arg.value.i = static_cast<int64_t>(argument);
    } else {
      arg.kind = XTFORMAT_UNSIGNED;
      arg.value.u = static_cast<uint64_t>(argument);
    }
  } else if constexpr (std::is_same_v<Value, long double>) {
    arg.kind = XTFORMAT_LONG_DOUBLE;
    arg.value.ld = &argument;
  } else if constexpr (std::is_floating_point_v<Value>) {
    arg.kind = XTFORMAT_DOUBLE;
    arg.value.d = static_cast<double>(argument);
  } else if constexpr (std::is_pointer_v<Value>) {
    using Pointee = std::remove_cv_t<std::remove_pointer_t<Value>>;
    const auto pointer = +argument;  // arrays decay here
    if constexpr (std::is_same_v<Pointee, char> || std::is_same_v<Pointee, signed char> ||
                  std::is_same_v<Pointee, unsigned char>) {
      arg.kind = XTFORMAT_STRING;
      arg.value.s = reinterpret_cast<const char*>(pointer);
    } else if constexpr (std::is_same_v<Pointee, wchar_t>) {
      arg.kind = XTFORMAT_WIDE_STRING;
      arg.value.ws = pointer;
    } else if constexpr (std::is_same_v<Pointee, char16_t>) {
      arg.kind = XTFORMAT_UTF16_STRING;
      arg.value.s16 = reinterpret_cast<const uint16_t*>(pointer);
    } else if constexpr (std::is_function_v<Pointee>) {
      arg.kind = XTFORMAT_POINTER;
      arg.value.p = reinterpret_cast<const void*>(pointer);
    } else {
      arg.kind = XTFORMAT_POINTER;
      arg.value.p = const_cast<const void*>(static_cast<const volatile void*>(pointer));
    }
  } else if constexpr (std::is_same_v<Value, std::nullptr_t>) {
    arg.kind = XTFORMAT_POINTER;
    arg.value.p = nullptr;
  } else if constexpr (std::is_same_v<Value, std::string> || std::is_same_v<Value, std::string_view>) {
    arg.kind = XTFORMAT_COUNTED_STRING;
    arg.value.s = argument.data();
    arg.length = argument.size() > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(argument.size());
  } else if constexpr (requires { { argument.GetString() } -> std::convertible_to<const char*>; }) {
    // CString and its kin: the text up to its first NUL, as %s read it on Windows.
    arg.kind = XTFORMAT_STRING;
    arg.value.s = argument.GetString();
  } else {
    static_assert(kNoPrintfForm<Value>,
                  "this argument has no printf form: pass a number, a pointer or a text "
                  "(const char*, CString, std::string)");
  }
  return arg;
}

}  // namespace xtb
#endif
