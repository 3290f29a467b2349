#include <gtest/gtest.h>

#include <vector>

#include <xtbasis/platform/presenter.h>
#include <xtbasis/teeth.h>

namespace {

// Records every box instead of showing it.
class RecordingPresenter : public XTHeadlessPresenter {
 public:
  int ShowMessageBox(HWND, const CString& text, const CString&, UINT type) override {
    texts.push_back(text.str());
    types.push_back(type);
    return IDOK;
  }
  std::vector<std::string> texts;
  std::vector<UINT> types;
};

TEST(ToothNumbers, ValidityOfFdiNumbers) {
  int valid = 0, validWithNinth = 0;
  for (int fdi = -5; fdi < 120; ++fdi) {
    valid += CTeeth::IsValidFDITooth(fdi, false);
    validWithNinth += CTeeth::IsValidFDITooth(fdi, true);
  }
  EXPECT_EQ(valid, 52);
  EXPECT_EQ(validWithNinth, 60);
  EXPECT_FALSE(CTeeth::IsValidFDITooth(19, false));
  EXPECT_TRUE(CTeeth::IsValidFDITooth(19, true));
  EXPECT_TRUE(CTeeth::IsValidFDITooth(89, true));
  EXPECT_FALSE(CTeeth::IsValidFDITooth(56, true));
  EXPECT_FALSE(CTeeth::IsValidFDITooth(10, true));
  EXPECT_FALSE(CTeeth::IsValidFDITooth(99, true));
  EXPECT_FALSE(CTeeth::IsValidFDITooth(119, true));
}

TEST(ToothNumbers, IndexAndNumberAreInverse) {
  const int expectedOrder[] = {18, 17, 16, 15, 14, 13, 12, 11, 21, 22, 23, 24, 25, 26, 27, 28,
                               48, 47, 46, 45, 44, 43, 42, 41, 31, 32, 33, 34, 35, 36, 37, 38,
                               55, 54, 53, 52, 51, 61, 62, 63, 64, 65, 85, 84, 83, 82, 81,
                               71, 72, 73, 74, 75, 19, 29, 49, 39, 59, 69, 89, 79};
  for (int index = 1; index <= 60; ++index) {
    EXPECT_EQ(CTeeth::CalcToothNr(index), expectedOrder[index - 1]) << index;
    EXPECT_EQ(CTeeth::CalcToothIndex(CTeeth::CalcToothNr(index)), index);
  }
  EXPECT_EQ(CTeeth::CalcToothNr(0), 11);
  EXPECT_EQ(CTeeth::CalcToothNr(61), 11);
  EXPECT_EQ(CTeeth::CalcToothNr(-3), 11);
}

TEST(ToothNumbers, OutOfRangeNumberShowsMessageAndGivesFirstTooth) {
  RecordingPresenter presenter;
  XTPresenter* before = SetXTPresenter(&presenter);
  EXPECT_EQ(CTeeth::CalcToothIndex(56), 1);
  EXPECT_EQ(CTeeth::CalcToothIndex(0), 1);
  EXPECT_EQ(CTeeth::CalcToothIndex(11), 8);  // a valid number shows nothing
  SetXTPresenter(before);
  ASSERT_EQ(presenter.texts.size(), 2u);
  EXPECT_EQ(presenter.texts[0], "0-961: ToothIndex out of Range");
  EXPECT_EQ(presenter.types[0] & 0xF, static_cast<UINT>(MB_OK));
}

TEST(ToothNumbers, DatabaseNumbersAndFindingCells) {
  EXPECT_EQ(CTeeth::TNr2Db(32), 32);
  EXPECT_EQ(CTeeth::TNr2Db(33), 36);
  EXPECT_EQ(CTeeth::TNr2Db(52), 61);
  EXPECT_EQ(CTeeth::TNr2Db(53), 65);
  EXPECT_EQ(CTeeth::TNr2Db(60), 72);
  EXPECT_EQ(CTeeth::TNr2Db(61), 61);
  EXPECT_EQ(CTeeth::Tooth2BefundIndex(53), 53);
  EXPECT_EQ(CTeeth::BefundIndex2ToothFDI(45), 65);
  EXPECT_EQ(CTeeth::BefundIndex2ToothFDI(61), 75);
  EXPECT_EQ(CTeeth::BefundIndex2ToothFDI2(44), 65);
  // Each milk tooth sits in the column of its permanent successor.
  EXPECT_EQ(CTeeth::Tooth2BefundIndex(CTeeth::CalcToothIndex(55)) - 32, CTeeth::CalcToothIndex(15));
  EXPECT_EQ(CTeeth::Tooth2BefundIndex(CTeeth::CalcToothIndex(75)) - 32, CTeeth::CalcToothIndex(35));
  for (int index = 1; index <= 52; ++index)
    EXPECT_EQ(CTeeth::BefundIndex2ToothFDI(CTeeth::Tooth2BefundIndex(index)), CTeeth::CalcToothNr(index));
}

TEST(ToothNumbers, MilkAndPermanentSuccessors) {
  EXPECT_EQ(CTeeth::Milk2PermanentBefundIndex(33), 4);
  EXPECT_EQ(CTeeth::Milk2PermanentBefundIndex(52), 29);
  EXPECT_EQ(CTeeth::Milk2PermanentBefundIndex(20), 20);
  EXPECT_EQ(CTeeth::Permanent2MilkToothIndex(3), 3);
  EXPECT_EQ(CTeeth::Permanent2MilkToothIndex(14), 14);
  for (int milk = 33; milk <= 52; ++milk) {
    const int permanent = CTeeth::Milk2PermanentBefundIndex(milk);
    EXPECT_EQ(CTeeth::CalcToothNr(permanent), CTeeth::CalcToothNr(milk) - 40) << milk;
    EXPECT_EQ(CTeeth::Permanent2MilkToothIndex(permanent), milk);
  }
  CString out("x");
  CTeeth::ConvertToothIndex(17, out);
  EXPECT_EQ(out, "x48");
}

}  // namespace
