#include <gtest/gtest.h>

#include "teeth_test_support.h"

namespace {

TEST(Counts, WholeUpperJaw) {
  CTeeth teeth = TeethOf("OK");
  EXPECT_EQ(teeth.CntOKTeeth(), 16);
  EXPECT_EQ(teeth.CntUKTeeth(), 0);
  EXPECT_EQ(teeth.CntFrontTeeth(0), 6);
  EXPECT_EQ(teeth.CntFrontTeeth(1), 0);
  EXPECT_EQ(teeth.CntSideTeeth(), 10);
  EXPECT_EQ(teeth.CntVerblendTeeth(), 10);
  EXPECT_EQ(teeth.CntTeeth7(), 14);
  EXPECT_EQ(teeth.CntTeeth4(), 8);
  EXPECT_EQ(teeth.CntFzKh(), 2);
  EXPECT_EQ(teeth.CntTeethLeftHalf(0), 8);
  EXPECT_EQ(teeth.CntTeethRightHalf(0), 8);
  EXPECT_FALSE(teeth.AreHalfFrontTeeth());
  EXPECT_FALSE(teeth.AreIP5Teeth());
}

TEST(Counts, RegionsOfEveryJawPart) {
  CTeeth all = TeethOf("OK,UK,OKM,UKM,19,29,39,49,59,69,79,89");
  EXPECT_EQ(all.CntTeeth(), 60);
  EXPECT_EQ(all.CntOKTeeth(), 30);
  EXPECT_EQ(all.CntUKTeeth(), 30);
  EXPECT_EQ(all.CntFrontTeeth(), 24);
  EXPECT_EQ(all.CntSideTeeth(), 36);
  EXPECT_EQ(all.CntMilkTeeth(), 20);
  EXPECT_EQ(all.CntVerblendTeeth(), 18);
  EXPECT_EQ(all.CntTeethLeftHalf(0), 14);
  EXPECT_EQ(all.CntTeethRightHalf(0), 14);
  EXPECT_EQ(all.CntTeethLeftHalf(1), 14);
  EXPECT_EQ(all.CntTeethRightHalf(1), 14);
  EXPECT_EQ(all.CntRootTeeth(2), 30);
  EXPECT_EQ(all.CntRootTeeth(3), 16);
  EXPECT_EQ(all.CntRootTeeth(4), 6);
  EXPECT_EQ(all.CntCanalTeeth(3), 6);
  EXPECT_EQ(all.CntCanalTeeth(4), 16);
  EXPECT_EQ(all.CntCanalTeeth(9), 30);

  CTeeth lower = TeethOf("85,84,83,49");
  EXPECT_EQ(lower.CntUKTeeth(), 4);
  EXPECT_EQ(lower.CntTeethLeftHalf(1), 4);
  EXPECT_EQ(lower.CntFrontTeeth(1), 1);
  EXPECT_TRUE(lower.AreHalfFrontTeeth());
  EXPECT_EQ(lower.CntFzKh(), 1);
}

TEST(Counts, RootsAndCanals) {
  CTeeth molar = TeethOf("16");
  EXPECT_EQ(molar.CntRootTeeth(4), 1);
  EXPECT_EQ(molar.CntCanalTeeth(4), 1);
  EXPECT_EQ(molar.CntAllCanal(), 3);
  CTeeth premolar = TeethOf("14");
  EXPECT_EQ(premolar.CntRootTeeth(3), 1);
  EXPECT_EQ(premolar.CntAllCanal(), 2);
  CTeeth lowerMolar = TeethOf("46");
  EXPECT_EQ(lowerMolar.CntRootTeeth(3), 1);
  EXPECT_EQ(lowerMolar.CntCanalTeeth(4), 1);
  EXPECT_EQ(lowerMolar.CntAllCanal(), 3);
  EXPECT_EQ(TeethOf("11").CntAllCanal(), 1);
  EXPECT_EQ(TeethOf("11").CntRootTeeth(1), 0);
}

TEST(Counts, AreasAndHalves) {
  CTeeth front = TeethOf("13-23");
  EXPECT_EQ(front.CntFzKh(), 1);
  EXPECT_TRUE(front.AreHalfFrontTeeth());
  EXPECT_EQ(TeethOf("11,12,21").CntFzKh(), 1);
  EXPECT_EQ(TeethOf("16,26").CntFzKh(), 2);
  EXPECT_FALSE(TeethOf("16,26").AreHalfFrontTeeth());
  EXPECT_EQ(TeethOf("11,19").CntFzKh(), 1);  // 19 is in the left half
  EXPECT_EQ(TeethOf("11,59").CntFzKh(), 2);  // 59 is in no region
  EXPECT_EQ(TeethOf("11,41").CntFzKh(), 2);
  EXPECT_FALSE(TeethOf("11,41").AreHalfFrontTeeth());
  EXPECT_FALSE(CTeeth().AreHalfFrontTeeth());

  CTeeth ip5 = TeethOf("14-17,44-47");
  EXPECT_TRUE(ip5.AreIP5Teeth());
  EXPECT_EQ(ip5.CntFzKh(), 2);
  ip5.TryAddTeeth("13");
  EXPECT_FALSE(ip5.AreIP5Teeth());
  EXPECT_TRUE(CTeeth().AreIP5Teeth());
}

TEST(Counts, BadJawCountsNothing) {
  CTeeth teeth = TeethOf("OK,UK");
  EXPECT_EQ(teeth.CntFrontTeeth(2), 0);
  EXPECT_EQ(teeth.CntTeethLeftHalf(-1), 0);
  EXPECT_EQ(teeth.CntTeethRightHalf(7), 0);
}

TEST(Counts, PendingEntriesCountWithoutMarks) {
  CTeeth teeth;
  ASSERT_TRUE(teeth.TryPush("11,12,13"));
  EXPECT_EQ(teeth.CntSideTeeth(), 3);
  EXPECT_EQ(teeth.CntTeeth(), 3);
  EXPECT_FALSE(teeth.AreIP5Teeth());
}

TEST(Selections, FrontAndSideTeeth) {
  CTeeth teeth = TeethOf("11,16,33");
  EXPECT_EQ(teeth.SelectFrontTeeth(), "11,33");
  EXPECT_EQ(Normal(teeth), "11,33");
  EXPECT_EQ(teeth.GetCounter(), 0);
  EXPECT_EQ(teeth.GetMark(3), ' ');

  CTeeth upper = TeethOf("18-28");
  EXPECT_EQ(upper.SelectSideTeeth(5), "18-14,24-28");
  EXPECT_EQ(upper.GetMark(6), ' ');
  EXPECT_EQ(upper.SelectSideTeeth(7), "18-14,24-28");

  CTeeth all = TeethOf("OK,UK");
  EXPECT_EQ(all.SelectSideTeeth(0), "18-14,24-28,42-32");
  CTeeth again = TeethOf("OK,UK");
  EXPECT_EQ(again.SelectSideTeeth(1), "12-22,48-44,34-38");
}

TEST(Selections, KillRoots) {
  CTeeth teeth = TeethOf("OK");
  teeth.KillRoot1Teeth();
  EXPECT_EQ(Normal(teeth), "18-16,14,24,26-28");
  EXPECT_EQ(teeth.GetCounter(), 16 - 30);  // lowered for all 30 one-root positions
  teeth.KillRoot23Teeth();
  EXPECT_EQ(Normal(teeth), "");
}

}  // namespace
