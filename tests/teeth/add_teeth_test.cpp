// TryAddTeeth marks a notation's teeth in one step when nothing in it repeats
// or is marked already. Whatever the notation and the set it meets, the
// result must be the one of marking the parsed teeth one at a time, last
// first, and stopping at the first one already marked.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "teeth_test_support.h"

namespace {

const int kFdiTeeth[] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29,
                         31, 32, 33, 34, 35, 36, 37, 38, 39, 41, 42, 43, 44, 45, 46, 47, 48, 49,
                         51, 52, 53, 54, 55, 61, 62, 63, 64, 65, 71, 72, 73, 74, 75, 81, 82, 83, 84, 85};
const char* const kJawWords[] = {"ok", "uk", "okm", "ukm", "OK", "UK"};
const char* const kSeparators[] = {",", ", ", ";", " "};

std::string RandomNotation(std::mt19937& random) {
  auto pick = [&](auto& list) { return list[random() % std::size(list)]; };
  std::string notation;
  const int pieces = 1 + static_cast<int>(random() % 6);
  for (int i = 0; i < pieces; ++i) {
    if (i > 0) notation += pick(kSeparators);
    switch (random() % 5) {
      case 0:
        notation += pick(kJawWords);
        break;
      case 1:
      case 2:
        notation += std::to_string(pick(kFdiTeeth)) + "-" + std::to_string(pick(kFdiTeeth));
        break;
      default:
        notation += std::to_string(pick(kFdiTeeth));
    }
  }
  return notation;
}

// A set with teeth marked in, as gap closures and as missing.
CTeeth RandomSet(std::mt19937& random) {
  CTeeth teeth;
  for (int i = random() % 8; i > 0; --i) teeth.MarkTooth(1 + static_cast<int>(random() % 60));
  for (int i = random() % 4; i > 0; --i)
    teeth.TryDoAddGapClosure(std::to_string(kFdiTeeth[random() % std::size(kFdiTeeth)]).c_str());
  for (int i = random() % 4; i > 0; --i) teeth.UnMarkTooth(1 + static_cast<int>(random() % 60));
  return teeth;
}

// What is left pending, last first.
std::vector<int> TakePending(CTeeth& teeth) {
  std::vector<int> left;
  int index;
  while (teeth.TryPop(index, false)) left.push_back(index);
  return left;
}

struct Outcome {
  bool added;
  std::vector<int> left;  // pending after the call, last first
};

// The one-at-a-time marking of what `notation` parses to.
Outcome AddOneByOne(CTeeth& teeth, const std::string& notation) {
  CTeeth parsed;
  if (!parsed.TryPush(notation.c_str())) return {false, TakePending(parsed)};
  int index;
  while (parsed.TryPop(index, false)) {
    const char mark = teeth.GetMark(index);
    if (mark == '1' || mark == '2') return {false, TakePending(parsed)};
    teeth.MarkTooth(index);
  }
  return {true, {}};
}

TEST(AddTeeth, OneStepEqualsMarkingOneByOne) {
  std::mt19937 random(20261208);
  int refused = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string notation = RandomNotation(random);
    const CTeeth before = RandomSet(random);
    CTeeth oneStep = before;
    CTeeth oneByOne = before;
    const bool added = oneStep.TryAddTeeth(notation.c_str());
    const Outcome expected = AddOneByOne(oneByOne, notation);
    ASSERT_EQ(added, expected.added) << notation << " on " << before.GetMarks().str();
    ASSERT_EQ(oneStep.GetMarks().str(), oneByOne.GetMarks().str()) << notation;
    ASSERT_EQ(oneStep.GetCounter(), oneByOne.GetCounter()) << notation;
    ASSERT_EQ(TakePending(oneStep), expected.left) << notation;
    ASSERT_EQ(Normal(oneStep), Normal(oneByOne)) << notation;
    // The bridge counts read the gap closures beneath the marks as well.
    ASSERT_EQ(oneStep.CntSpans(), oneByOne.CntSpans()) << notation;
    ASSERT_EQ(oneStep.CntBridge25(), oneByOne.CntBridge25()) << notation;
    refused += added ? 0 : 1;
  }
  // Both outcomes must have been met often for the comparison to mean anything.
  EXPECT_GT(refused, 2000);
  EXPECT_LT(refused, 18000);
}

}  // namespace
