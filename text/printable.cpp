// Reduction of a text to characters that simple printers and data carriers
// show: control bytes become blanks, special and accented characters become
// plain ones (some of them two or three characters long).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <xtbasis/textfilters.h>

#include "byte_expansion.h"

namespace {

// One row per special byte: its replacement in modes 0, 1 and 2.
struct Row {
  uint8_t byte;
  const char* mode[3];
};

// clang-format off
constexpr Row kRows[96] = {
    {0x40, {"a", "@", "@"}},           {0x5B, {"(", "[", "["}},          {0x5C, {" ", " ", " "}},
    {0x5D, {")", "]", "]"}},           {0x7B, {"(", "(", "("}},          {0x7C, {" ", " ", " "}},
    {0x7D, {")", ")", ")"}},           {0x7E, {" ", " ", " "}},          {0xA1, {"i", "\xA1", "\xA1"}},
    {0xA2, {"c", "c", "c"}},           {0xA3, {"L", "L", "L"}},          {0xA4, {"EUR", "EUR", "EUR"}},
    {0xA5, {"Y", "Y", "Y"}},           {0xA6, {"S", "S", "S"}},          {0xA7, {"$", "\xA7", "\xA7"}},
    {0xA8, {"s", "s", "s"}},           {0xA9, {"c", "c", "c"}},          {0xAA, {"a", "a", "a"}},
    {0xAB, {"\"", "\"", "\""}},        {0xAC, {" ", " ", " "}},          {0xAD, {" ", " ", " "}},
    {0xAE, {"R", "R", "R"}},           {0xAF, {"-", "-", "-"}},          {0xB0, {" ", "\xB0", "\xB0"}},
    {0xB1, {"+/-", "+/-", "+/-"}},     {0xB2, {"2", "2", "2"}},          {0xB3, {"3", "3", "3"}},
    {0xB4, {"Z", "Z", "Z"}},           {0xB5, {" ", "\xB5", "\xB5"}},    {0xB6, {" ", " ", " "}},
    {0xB7, {".", " ", " "}},           {0xB8, {"z", "z", "z"}},          {0xB9, {"1", "1", "1"}},
    {0xBA, {" ", "\xBA", "\xBA"}},     {0xBB, {"\"", "\"", "\""}},       {0xBC, {"CE", "CE", "CE"}},
    {0xBD, {"ce", "ce", "ce"}},        {0x9F, {"Y", "Y", "Y"}},          {0xBF, {" ", " ", " "}},
    {0xC0, {"A", "A", "A"}},           {0xC1, {"A", "A", "A"}},          {0xC2, {"A", "A", "A"}},
    {0xC3, {"A", "A", "A"}},           {0xC5, {"A", "\xC5", "\xC5"}},    {0xC6, {"AE", "\xC6", "\xC6"}},
    {0xC7, {"C", "\xC7", "\xC7"}},     {0xC8, {"E", "E", "E"}},          {0xC9, {"E", "\xC9", "\xC9"}},
    {0xCA, {"E", "E", "E"}},           {0xCB, {"E", "E", "E"}},          {0xCC, {"I", "I", "I"}},
    {0xCD, {"I", "I", "I"}},           {0xCE, {"I", "I", "I"}},          {0xCF, {"I", "I", "I"}},
    {0xD0, {"D", "D", "D"}},           {0xD1, {"N", "\xD1", "\xD1"}},    {0xD2, {"O", "O", "O"}},
    {0xD3, {"O", "O", "O"}},           {0xD4, {"O", "O", "O"}},          {0xD5, {"O", "O", "O"}},
    {0xD7, {"x", "x", "x"}},           {0xD8, {"OE", "OE", "OE"}},       {0xD9, {"U", "U", "U"}},
    {0xDA, {"U", "U", "U"}},           {0xDB, {"U", "U", "U"}},          {0xDD, {"Y", "Y", "Y"}},
    {0xDE, {"TH", "TH", "TH"}},        {0xE0, {"a", "\xE0", "\xE0"}},    {0xE1, {"a", "\xE1", "\xE1"}},
    {0xE2, {"a", "\xE2", "\xE2"}},     {0xE3, {"a", "\xE4", "a"}},       {0xE5, {"a", "\xE5", "\xE5"}},
    {0xE6, {"ae", "\xE6", "\xE6"}},    {0xE7, {"c", "\xE7", "\xE7"}},    {0xE8, {"e", "\xE8", "\xE8"}},
    {0xE9, {"e", "\xE9", "\xE9"}},     {0xEA, {"e", "\xEA", "\xEA"}},    {0xEB, {"e", "\xEB", "\xEB"}},
    {0xEC, {"i", "\xEC", "\xEC"}},     {0xED, {"i", "\xED", "\xED"}},    {0xEE, {"i", "\xEE", "\xEE"}},
    {0xEF, {"i", "\xEF", "\xEF"}},     {0xF0, {"d", "d", "d"}},          {0xF1, {"n", "\xF1", "\xF1"}},
    {0xF2, {"o", "\xF2", "\xF2"}},     {0xF3, {"o", "\xF3", "\xF3"}},    {0xF4, {"o", "\xF4", "\xF4"}},
    {0xF5, {"o", "\xF6", "o"}},        {0xF7, {":", ":", ":"}},          {0xF8, {"oe", "oe", "oe"}},
    {0xF9, {"u", "\xF9", "\xF9"}},     {0xFA, {"u", "\xFA", "v"}},       {0xFB, {"u", "\xFB", "\xFB"}},
    {0xFD, {"y", "y", "y"}},           {0xFE, {"th", "th", "th"}},       {0xFF, {"y", "\xFF", "\xFF"}},
};
// clang-format on

using xtb::ExpansionTable;

constexpr bool IsUnprintable(uint8_t b) { return (b & 0x7F) < 0x21 || b == 0x7F; }

constexpr ExpansionTable MakeTable(int mode) {
  ExpansionTable t{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    t[byte] = {1, {IsUnprintable(byte) ? ' ' : static_cast<char>(b), 0, 0}};
  }
  if (mode == 3) return t;
  for (const Row& row : kRows) {
    if (IsUnprintable(row.byte)) continue;  // 0x9F: already a blank
    const std::string_view r = row.mode[mode];
    xtb::Expansion& rep = t[row.byte];
    rep.length = static_cast<uint8_t>(r.size());
    for (size_t i = 0; i < r.size(); ++i) rep.bytes[i] = r[i];
  }
  return t;
}

constexpr std::array<ExpansionTable, 4> kTables = {MakeTable(0), MakeTable(1), MakeTable(2), MakeTable(3)};

}  // namespace

int OemToPrintableOem(CString& text, int mode) {
  const ExpansionTable& table = kTables[mode >= 0 && mode <= 3 ? static_cast<size_t>(mode) : 0];
  text = CString(xtb::Expand(text.str(), table));
  return text.GetLength();
}
