// Letter and case tables of code page 1252, the code page of the library's
// data. They are fixed data: German letters are letters whatever the process
// locale says.
#pragma once

#include <array>
#include <cstdint>

namespace xtb::cp1252 {

namespace detail {

enum : uint8_t { kLetter = 1, kUpper = 2, kLower = 4 };

struct Tables {
  std::array<uint8_t, 256> cls{};
  std::array<uint8_t, 256> upper{};
  std::array<uint8_t, 256> lower{};
};

constexpr Tables MakeTables() {
  Tables t;
  for (int c = 0; c < 256; ++c) {
    t.upper[c] = static_cast<uint8_t>(c);
    t.lower[c] = static_cast<uint8_t>(c);
  }
  auto pair = [&t](int up, int low) {
    t.cls[up] = kLetter | kUpper;
    t.cls[low] = kLetter | kLower;
    t.lower[up] = static_cast<uint8_t>(low);
    t.upper[low] = static_cast<uint8_t>(up);
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) pair(c, c + 32);  // 0xD7 and 0xF7 are the signs of multiplication and division
  pair(0x8A, 0x9A);                  // S with caron
  pair(0x8C, 0x9C);                  // ligature OE
  pair(0x8E, 0x9E);                  // Z with caron
  pair(0x9F, 0xFF);                  // Y with diaeresis
  for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) t.cls[c] = kLetter | kLower;  // no upper case in 1252
  return t;
}

inline constexpr Tables kTables = MakeTables();

}  // namespace detail

constexpr char ToUpper(char c) { return static_cast<char>(detail::kTables.upper[static_cast<uint8_t>(c)]); }
constexpr char ToLower(char c) { return static_cast<char>(detail::kTables.lower[static_cast<uint8_t>(c)]); }
constexpr bool IsLetter(char c) { return detail::kTables.cls[static_cast<uint8_t>(c)] & detail::kLetter; }
constexpr bool IsUpper(char c) { return detail::kTables.cls[static_cast<uint8_t>(c)] & detail::kUpper; }
constexpr bool IsLower(char c) { return detail::kTables.cls[static_cast<uint8_t>(c)] & detail::kLower; }

}  // namespace xtb::cp1252
