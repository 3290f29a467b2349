#include <gtest/gtest.h>

#include "teeth_test_support.h"

namespace {

bool Parses(const char* notation) {
  CTeeth teeth;
  return teeth.TryAddTeeth(notation);
}

std::vector<int> Pending(CTeeth& teeth) {
  std::vector<int> taken;
  int value;
  while (teeth.TryPop(value, false)) taken.push_back(value);
  return taken;
}

TEST(Notation, JawWordsAndRangesOfTheWholeDentition) {
  for (const char* all : {"ok,uk", "OK UK", "Ok;uK", "18-48", "18-28,38-48"}) {
    CTeeth teeth = TeethOf(all);
    EXPECT_EQ(teeth.CntTeeth(), 32) << all;
    EXPECT_EQ(Normal(teeth), "OK,UK") << all;
  }
  EXPECT_EQ(Normal(TeethOf("okm")), "55-65");
  EXPECT_EQ(Normal(TeethOf("UKM")), "85-75");
  EXPECT_EQ(Normal(TeethOf("13-43")), "13-28,43-38");
  EXPECT_EQ(Normal(TeethOf("15-25")), "15-25");
  EXPECT_EQ(Normal(TeethOf("25-15")), "15-25");
  EXPECT_EQ(Normal(TeethOf("53-83")), "53-65,83-75");
  EXPECT_EQ(Normal(TeethOf("19")), "19");
  EXPECT_EQ(Normal(TeethOf("59")), "59");
}

TEST(Notation, SeparatorsAndSpaces) {
  EXPECT_TRUE(Parses(""));
  EXPECT_TRUE(Parses("11, 12"));
  EXPECT_TRUE(Parses(" UK"));
  EXPECT_TRUE(Parses("11,"));
  EXPECT_TRUE(Parses("11 12"));
  EXPECT_FALSE(Parses(" OK"));
  EXPECT_FALSE(Parses("OKUK"));  // the character after OK is eaten
  EXPECT_FALSE(Parses("0"));
  EXPECT_FALSE(Parses("11;12"));
  EXPECT_FALSE(Parses("11,,12"));
  EXPECT_FALSE(Parses("x"));
  EXPECT_FALSE(Parses("11-"));
  EXPECT_FALSE(Parses("11-0"));
  EXPECT_EQ(Normal(TeethOf("11-13x14")), "14-11");
  EXPECT_EQ(Normal(TeethOf("okm,uk")), "UK,55-65");
  EXPECT_FALSE(Parses("okmuk"));  // the "u" is the separator
  EXPECT_FALSE(Parses("18 - 48"));
}

TEST(Notation, RefusedNumbersAndRanges) {
  for (const char* bad : {"48-18", "55-15", "19-29", "18-19", "56", "10", "90", "99999999999", "11-56",
                          "85-55"})
    EXPECT_FALSE(Parses(bad)) << bad;
}

TEST(Notation, FailedParseLeavesItsPrefixPending) {
  CTeeth teeth;
  EXPECT_FALSE(teeth.TryAddTeeth("11, "));
  EXPECT_EQ(teeth.CntTeeth(), 1);  // no marks yet: the pending entry counts
  EXPECT_EQ(Normal(teeth), "");
  EXPECT_TRUE(teeth.TryDoAddTeeth("21"));
  EXPECT_EQ(Normal(teeth), "11,21");

  CTeeth twice;
  EXPECT_FALSE(twice.TryAddTeeth("11,11"));
  EXPECT_EQ(Normal(twice), "11");

  CTeeth held = TeethOf("12");
  EXPECT_FALSE(held.TryAddTeeth("11,12,13"));
  EXPECT_EQ(Normal(held), "13,12");
  EXPECT_TRUE(held.TryDoAddTeeth("21"));
  EXPECT_EQ(Normal(held), "13-21");
}

TEST(Notation, PendingListIsAStack) {
  CTeeth teeth;
  EXPECT_TRUE(teeth.TryPush("11-13"));
  EXPECT_TRUE(teeth.TryPush("21"));
  EXPECT_EQ(teeth.CntTeeth(), 4);
  EXPECT_EQ(teeth.GetCounter(), 4);
  EXPECT_EQ(Pending(teeth), (std::vector<int>{9, 8, 7, 6}));
  int value = -1;
  EXPECT_FALSE(teeth.TryPop(value, false));
  EXPECT_EQ(value, -1);

  const std::pair<const char*, int> findings[] = {{"38", 32}, {"65", 45}, {"85", 52}, {"19", 62}};
  for (const auto& [tooth, cell] : findings) {
    ASSERT_TRUE(teeth.TryPush(tooth));
    ASSERT_TRUE(teeth.TryPop(value, true));
    EXPECT_EQ(value, cell) << tooth;
  }
}

TEST(Notation, AddSubtractAndContain) {
  CTeeth teeth = TeethOf("11,12");
  EXPECT_TRUE(teeth.ContainsTeeth("11"));
  EXPECT_EQ(Normal(teeth), "12");
  EXPECT_FALSE(teeth.ContainsTeeth("21"));
  EXPECT_EQ(teeth.GetMark(8), '0');

  CTeeth sub = TeethOf("OK");
  EXPECT_TRUE(sub.TrySubTeeth("13-23,38"));
  EXPECT_EQ(Normal(sub), "18-14,24-28");
  EXPECT_FALSE(sub.TrySubTeeth("13-x"));
  EXPECT_EQ(sub.CntOKTeeth(), 10);

  CTeeth dup = TeethOf("11");
  EXPECT_TRUE(dup.TryDoAddTeeth("11-13"));
  EXPECT_EQ(Normal(dup), "13-11");
  EXPECT_EQ(dup.GetCounter(), 3);

  CTeeth closure = TeethOf("14");
  EXPECT_TRUE(closure.TryDoAddGapClosure("13-15"));
  EXPECT_EQ(closure.GetMark(4), 'l');
  EXPECT_EQ(closure.GetMark(5), '1');
  EXPECT_EQ(closure.GetMark(6), 'l');
  EXPECT_EQ(Normal(closure), "14");
}

TEST(Notation, StateOperations) {
  CTeeth teeth = TeethOf("OK,38");
  teeth.MarkTooth(1);  // already marked: nothing changes
  EXPECT_EQ(teeth.GetCounter(), 17);
  teeth.ClearOkTeeth();
  EXPECT_EQ(teeth.GetCounter(), 1);
  EXPECT_EQ(Normal(teeth), "38");
  EXPECT_EQ(teeth.GetMarks().GetLength(), 61);
  EXPECT_EQ(teeth.GetMarks().Left(18).str(), " 0000000000000000 ");
  teeth.ClearUkTeeth();
  EXPECT_EQ(teeth.GetCounter(), -15);  // lowered per position, as documented
  EXPECT_EQ(teeth.CntTeeth(), 0);
  teeth.Clear();
  EXPECT_EQ(teeth.GetMarks(), CString(' ', 61));
  EXPECT_EQ(teeth.GetCounter(), 0);
  EXPECT_EQ(teeth.GetMark(-1), ' ');
  EXPECT_EQ(teeth.GetMark(61), ' ');
  teeth.MarkTooth(0);
  teeth.MarkTooth(61);
  EXPECT_EQ(teeth.GetCounter(), 0);
}

}  // namespace
