#include <gtest/gtest.h>

#include "teeth_test_support.h"

namespace {

TEST(OutputForms, NormalFormOrderAndRuns) {
  EXPECT_EQ(Normal(TeethOf("11,12,13")), "13-11");
  EXPECT_EQ(Normal(TeethOf("12,11")), "12,11");
  EXPECT_EQ(Normal(TeethOf("11,21")), "11,21");
  EXPECT_EQ(Normal(TeethOf("12,11,21,22")), "12-22");
  EXPECT_EQ(Normal(TeethOf("38,48")), "48,38");
  EXPECT_EQ(Normal(TeethOf("43-33")), "43-33");
  EXPECT_EQ(Normal(TeethOf("79,89,69,59,39,49,29,19,75,85,65,55,38,48,28,18")),
            "19,18,28,29,39,48,38,49,59,55,65,69,79,85,75,89");
  EXPECT_EQ(Normal(TeethOf("18-27")), "18-27");  // not the whole jaw
  EXPECT_EQ(Normal(TeethOf("ok,uk,okm,ukm")), "OK,UK,55-65,85-75");
  EXPECT_EQ(Normal(TeethOf("19,UK")), "19,UK");
  EXPECT_EQ(Normal(CTeeth()), "");
}

TEST(OutputForms, ExpandedVddsAndQuadrants) {
  HexTeeth teeth = TeethOf("OK,38,55");
  EXPECT_EQ(Normal(teeth), "OK,38,55");
  EXPECT_EQ(Normal(teeth, true), "18-28,38,55");
  CString vdds;
  teeth.GetVDDSTeeth(vdds);
  EXPECT_EQ(vdds, "01,38,55");
  CTeeth lower = TeethOf("UK,13");
  lower.GetVDDSTeeth(vdds);
  EXPECT_EQ(vdds, "13,02");
  EXPECT_EQ(Normal(lower, true), "13,38-48");

  CTeeth quadrants = TeethOf("18-11,23,24,26,31,32,35-37,44");
  EXPECT_EQ(quadrants.GetPermQuadrantTeeth(1), "18-11");
  EXPECT_EQ(quadrants.GetPermQuadrantTeeth(2), "23,24,26");
  EXPECT_EQ(quadrants.GetPermQuadrantTeeth(3), "31,32,35-37");
  EXPECT_EQ(quadrants.GetPermQuadrantTeeth(4), "44");
  EXPECT_EQ(quadrants.GetPermQuadrantTeeth(5), "");
  EXPECT_EQ(quadrants.GetPermQuadrantTeeth(0), "");
}

TEST(OutputForms, DatabaseFormExamples) {
  EXPECT_EQ(TeethOf("OK").Hex(), "FFFF00000000000000");
  EXPECT_EQ(TeethOf("11,21").Hex(), "018000000000000000");
  EXPECT_EQ(TeethOf("55,65").Hex(), "000000001008000000");
  EXPECT_EQ(TeethOf("19,79").Hex(), "000000000000000081");
  EXPECT_EQ(HexTeeth().Hex(), "000000000000000000");
  CTeeth teeth;
  EXPECT_EQ(teeth.Teeth2Db("18-28"), "FFFF00000000000000");
  EXPECT_EQ(teeth.Db2Teeth("FFFF00000000000000"), "OK");
  EXPECT_EQ(teeth.Db2Teeth("ffff"), "OK");
  EXPECT_EQ(teeth.Db2Teeth(""), "");
  EXPECT_EQ(teeth.Db2Teeth("zz018000"), "48");  // a piece stops at its first non-digit
  EXPECT_EQ(teeth.Db2Teeth("0000000000080000ffjunk"), "19,29,39,49,59,65,69,79,89");
}

TEST(OutputForms, ConversionsLeaveTheObjectEmpty) {
  CTeeth teeth = TeethOf("11");
  teeth.TryPush("21");
  // 11 was held before and the pending 21 joins the notation.
  EXPECT_EQ(teeth.Teeth2Db("12"), "038000000000000000");
  EXPECT_EQ(teeth.GetMarks(), CString(' ', 61));
  EXPECT_EQ(teeth.CntTeeth(), 0);

  teeth.TryPush("21");
  EXPECT_EQ(teeth.Db2Teeth("0100"), "11");
  EXPECT_EQ(teeth.CntTeeth(), 0);
  EXPECT_EQ(teeth.GetCounter(), 0);
}

TEST(OutputForms, SetHexTeethKeepsCounterAndPending) {
  HexTeeth teeth;
  teeth.TryPush("11");
  teeth.MarkTooth(1);
  teeth.SetHexTeeth("8");  // a short piece is right-aligned: bit 3 of the first one
  EXPECT_EQ(Normal(teeth), "25");
  EXPECT_EQ(teeth.GetMarks().str(), " " + std::string(12, '0') + "1" + std::string(47, '0'));
  EXPECT_EQ(teeth.GetCounter(), 2);
  int pending = 0;
  EXPECT_TRUE(teeth.TryPop(pending, false));
  EXPECT_EQ(pending, 8);
}

TEST(OutputForms, StandardContainersHoldPlainMarksOnly) {
  CTeeth teeth = TeethOf("11,12,48,19");
  std::set<char> set{99};
  teeth.ToSet(set);
  EXPECT_EQ(set, (std::set<char>{11, 12, 19, 48}));
  std::vector<int> list{1};
  teeth.ToVector(list);
  EXPECT_EQ(list, (std::vector<int>{12, 11, 48, 19}));
}

}  // namespace
