#include <gtest/gtest.h>

#include "teeth_test_support.h"

namespace {

std::pair<int, std::string> Bridge25(const char* gaps, const char* closures = "") {
  CTeeth teeth = TeethOf(gaps);
  EXPECT_TRUE(teeth.TryDoAddGapClosure(closures));
  const int count = teeth.CntBridge25();
  return {count, Normal(teeth)};
}

TEST(Spans, RunsOfGapsPerRow) {
  EXPECT_EQ(CTeeth().CntSpans(), 0);
  EXPECT_EQ(TeethOf("OK").CntSpans(), 1);
  EXPECT_EQ(TeethOf("OK,UK").CntSpans(), 2);
  EXPECT_EQ(TeethOf("28,48").CntSpans(), 2);
  EXPECT_EQ(TeethOf("14,15,16,26").CntSpans(), 2);
  EXPECT_EQ(TeethOf("14,16").CntSpans(), 2);
  EXPECT_EQ(TeethOf("65,85").CntSpans(), 2);   // the milk upper row ends at 65
  EXPECT_EQ(TeethOf("75,19").CntSpans(), 1);   // no row end between 75 and 19
  CTeeth closed = TeethOf("14,16");
  closed.TryDoAddGapClosure("15");
  EXPECT_EQ(closed.CntSpans(), 1);
  CTeeth fixed = TeethOf("14,15");
  fixed.KillKHNeighbours("16");  // 14 and 15 become fixed and then leave
  EXPECT_EQ(fixed.CntSpans(), 0);
}

TEST(Bridges, BridgesOfAGivenLength) {
  struct Case {
    const char* gaps;
    const char* closures;
    int len;
    int count;       // bridges found
    const char* left;  // the teeth of those bridges, left in the object
  };
  const Case cases[] = {
      {"15,25", "", 1, 2, "16-14,24-26"},  // two single bridges of their own
      {"14,16", "", 1, 1, "17-15"},        // linked through 15: the chain's first bridge
      {"11,22", "", 1, 1, "12-21"},        // a chain across the midline
      {"27", "", 1, 1, "26-28"},           // the row's last tooth is an abutment
      {"", "", 1, 0, ""},
      {"14,15", "", 2, 1, "16-13"},
      {"15", "", 2, 0, ""},                // no bridge of two: the object is emptied
      {"28,48", "", 2, 1, "27,28,48,47"},  // a run goes on from 28 into 48
      {"14,12", "13", 2, 1, "15,14,12,11"},  // the closed 13 is stepped over
      {"41,31,32,45", "", 3, 1, "42-33"},  // the single gap 45 is another length
      {"15", "", 0, 0, ""},
  };
  for (const Case& c : cases) {
    CTeeth teeth = TeethOf(c.gaps);
    EXPECT_TRUE(teeth.TryDoAddGapClosure(c.closures));
    int count = -1;
    EXPECT_EQ(teeth.HasBridgeLen(c.len, count), c.count > 0) << c.gaps << " len " << c.len;
    EXPECT_EQ(count, c.count) << c.gaps << " len " << c.len;
    EXPECT_EQ(Normal(teeth), c.left) << c.gaps << " len " << c.len;
  }
}

TEST(Bridges, ChainsOfSingleGaps) {
  EXPECT_EQ(Bridge25("14,16"), std::make_pair(1, std::string("14")));
  EXPECT_EQ(Bridge25("14,16,26").first, 1);
  EXPECT_EQ(Bridge25("15"), std::make_pair(0, std::string("")));
  // Three linked gaps across the midline form one chain: two more bridges.
  EXPECT_EQ(Bridge25("12,21,23"), std::make_pair(2, std::string("23")));
  // A longer run in the stretch keeps the linked gaps as they are.
  EXPECT_EQ(Bridge25("16,14,12,11"), std::make_pair(2, std::string("16,14")));
  // Two teeth in a row end a stretch: 22, 23 do not spoil the 14/16 chain.
  EXPECT_EQ(Bridge25("14,16,22,23"), std::make_pair(1, std::string("14")));
  // Chains in both jaws.
  EXPECT_EQ(Bridge25("14,16,44,46").first, 2);
}

TEST(Neighbours, WithinQuadrantBlocks) {
  EXPECT_FALSE(TeethOf("11,21").HasKHNeighbours());
  EXPECT_TRUE(TeethOf("11,12").HasKHNeighbours());
  EXPECT_FALSE(TeethOf("28,48").HasKHNeighbours());
  EXPECT_FALSE(TeethOf("51,61").HasKHNeighbours());
  EXPECT_TRUE(TeethOf("64,65").HasKHNeighbours());
  EXPECT_FALSE(TeethOf("15,13").HasKHNeighbours());

  CTeeth twelve = TeethOf("12");
  twelve.KillKHNeighbours("13");
  EXPECT_EQ(Normal(twelve), "");
  CTeeth again = TeethOf("12");
  again.KillKHNeighbours("14");
  EXPECT_EQ(Normal(again), "14");
  CTeeth empty;
  empty.KillKHNeighbours("11-13");
  EXPECT_EQ(Normal(empty), "13,11");
  CTeeth midline = TeethOf("11");
  midline.KillKHNeighbours("21,22,23");
  EXPECT_EQ(Normal(midline), "21,23");
}

TEST(Neighbours, OfAListInTheSet) {
  CString eleven("11");
  EXPECT_FALSE(TeethOf("21").HasAnNeighbours(eleven));
  EXPECT_TRUE(TeethOf("12").HasAnNeighbours(eleven));
  CString lowerEnd("38");
  EXPECT_FALSE(TeethOf("55").HasAnNeighbours(lowerEnd));  // 38 looks back only
  CString milk("55");
  EXPECT_TRUE(TeethOf("38").HasAnNeighbours(milk));  // milk teeth have no boundary
  CString bad("11;");
  EXPECT_FALSE(TeethOf("12").HasAnNeighbours(bad));
  CString none("");
  EXPECT_FALSE(TeethOf("12").HasAnNeighbours(none));

  CTeeth pending = TeethOf("14");
  CString list("15,11");
  EXPECT_TRUE(pending.HasAnNeighbours(list));  // 11 checked first, then 15 hits
  CString one("28");
  EXPECT_FALSE(pending.HasAnNeighbours(one));
}

}  // namespace
