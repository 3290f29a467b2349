// Both written forms of a set read back to the same teeth.
#include <gtest/gtest.h>

#include <random>

#include "teeth_test_support.h"

namespace {

// The teeth of `teeth` as the set of indexes marked '1'.
std::string InMarks(const CTeeth& teeth) {
  std::string marks;
  for (int i = 1; i <= 60; ++i) marks += teeth.GetMark(i) == '1' ? '1' : '.';
  return marks;
}

void ExpectRoundTrips(const HexTeeth& original) {
  const CString hex = original.Hex();
  HexTeeth fromHex;
  fromHex.SetHexTeeth(hex);
  EXPECT_EQ(InMarks(fromHex), InMarks(original)) << hex;
  EXPECT_EQ(fromHex.Hex(), hex);

  CString lower = hex;
  lower.MakeLower();
  HexTeeth fromLower;
  fromLower.SetHexTeeth(lower);
  EXPECT_EQ(InMarks(fromLower), InMarks(original)) << lower;

  const std::string normal = Normal(original);
  CTeeth parsed;
  EXPECT_TRUE(parsed.TryAddTeeth(normal.c_str())) << normal;
  EXPECT_EQ(InMarks(parsed), InMarks(original)) << normal;

  const std::string expanded = Normal(original, true);
  CTeeth parsedExpanded;
  EXPECT_TRUE(parsedExpanded.TryAddTeeth(expanded.c_str())) << expanded;
  EXPECT_EQ(InMarks(parsedExpanded), InMarks(original)) << expanded;
}

TEST(RoundTrip, EverySingleTooth) {
  for (int index = 1; index <= 60; ++index) {
    HexTeeth teeth;
    teeth.MarkTooth(index);
    ExpectRoundTrips(teeth);
    EXPECT_EQ(Normal(teeth), std::to_string(CTeeth::CalcToothNr(index)));
    // Exactly one bit of the 72 in the database form is set.
    int bits = 0;
    const CString hex = teeth.Hex();
    for (int i = 0; i < hex.GetLength(); ++i)
      bits += __builtin_popcount(static_cast<unsigned>(std::stoi(std::string(1, hex[i]), nullptr, 16)));
    EXPECT_EQ(bits, 1) << index;
  }
}

TEST(RoundTrip, RandomSets) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 3000; ++round) {
    HexTeeth teeth;
    // Vary the density so that long runs and whole jaws occur.
    const unsigned percent = 5 + random() % 95;
    for (int index = 1; index <= 60; ++index)
      if (random() % 100 < percent) teeth.MarkTooth(index);
    ExpectRoundTrips(teeth);
    if (HasFailure()) break;
  }
}

}  // namespace
