// Tooth regions as bit masks over the tooth indexes (bit i = index i).
#pragma once

#include <cstdint>

namespace xtb::teeth {

constexpr int kLastIndex = 60;

// FDI number of each tooth index in chart order; 0 at index 0.
constexpr int kFdiOfIndex[kLastIndex + 1] = {
    0,  18, 17, 16, 15, 14, 13, 12, 11, 21, 22, 23, 24, 25, 26, 27, 28, 48, 47, 46, 45,
    44, 43, 42, 41, 31, 32, 33, 34, 35, 36, 37, 38, 55, 54, 53, 52, 51, 61, 62, 63, 64,
    65, 85, 84, 83, 82, 81, 71, 72, 73, 74, 75, 19, 29, 49, 39, 59, 69, 89, 79};

// Tooth index of each number 0..99; 0 where the number is not a tooth.
struct IndexOfFdi {
  int index[100] = {};
  constexpr IndexOfFdi() {
    for (int i = 1; i <= kLastIndex; ++i) index[kFdiOfIndex[i]] = i;
  }
};
constexpr IndexOfFdi kIndexOfFdi;

constexpr uint64_t Bit(int index) { return uint64_t{1} << index; }

// Indexes first..last inclusive; empty when first > last.
// Closed form rather than a loop: the formatter asks for one span per run.
// Valid for indexes 0..63.
constexpr uint64_t Span(int first, int last) {
  if (first > last) return 0;
  return (~uint64_t{0} >> (63 - last)) & (~uint64_t{0} << first);
}

constexpr uint64_t kAllTeeth = Span(1, kLastIndex);

constexpr uint64_t kUpperJaw = Span(1, 16) | Span(33, 42) | Bit(53) | Bit(54) | Bit(57) | Bit(58);
constexpr uint64_t kLowerJaw = Span(17, 32) | Span(43, 52) | Bit(55) | Bit(56) | Bit(59) | Bit(60);
constexpr uint64_t kUpperFront = Span(6, 11) | Span(35, 40);
constexpr uint64_t kLowerFront = Span(22, 27) | Span(45, 50);
constexpr uint64_t kUpperLeft = Span(1, 8) | Span(33, 37) | Bit(53);
constexpr uint64_t kUpperRight = Span(9, 16) | Span(38, 42) | Bit(54);
constexpr uint64_t kLowerLeft = Span(17, 24) | Span(43, 47) | Bit(55);
constexpr uint64_t kLowerRight = Span(25, 32) | Span(48, 52) | Bit(56);
constexpr uint64_t kVeneer = Span(4, 13) | Span(21, 28);
constexpr uint64_t kMilk = Span(33, 52);
constexpr uint64_t kOneRoot =
    kUpperFront | kLowerFront | Bit(4) | Bit(13) | Bit(20) | Bit(21) | Bit(28) | Bit(29);
constexpr uint64_t kTwoRoots = Bit(5) | Bit(12) | Span(17, 19) | Span(30, 32) | Bit(33) | Bit(34) |
                               Span(41, 44) | Bit(51) | Bit(52);
constexpr uint64_t kThreeRoots = Span(1, 3) | Span(14, 16);
constexpr uint64_t kTwoCanals = Bit(5) | Bit(12) | Bit(43) | Bit(44) | Bit(51) | Bit(52);
constexpr uint64_t kThreeCanals =
    Span(1, 3) | Span(14, 19) | Span(30, 32) | Bit(33) | Bit(34) | Bit(41) | Bit(42);
constexpr uint64_t kTeeth4To7 = Span(2, 5) | Span(12, 15) | Span(18, 21) | Span(28, 31);
constexpr uint64_t kNoWisdom = Span(2, 15) | Span(18, 31);

// Rows in which consecutive indexes are neighbours, and the quadrant blocks
// (neighbours never cross a block boundary).
struct IndexRun {
  int first;
  int last;
};
constexpr IndexRun kRows[] = {{1, 16}, {17, 32}, {33, 42}, {43, 52}};
constexpr IndexRun kBlocks[] = {{1, 8},   {9, 16},  {17, 24}, {25, 32},
                                {33, 37}, {38, 42}, {43, 47}, {48, 52}};

}  // namespace xtb::teeth
