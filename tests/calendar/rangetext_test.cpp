#include <gtest/gtest.h>

#include <xtbasis/quarters.h>

namespace {

struct Range {
  bool ok;
  CString von, bis;
};

Range Read(const char* text) {
  Range r{false, "unchanged", "unchanged"};
  r.ok = VonBisDatumOk(text, r.von, r.bis);
  return r;
}

}  // namespace

TEST(RangeText, FromDate) {
  CString von = "unchanged";
  EXPECT_TRUE(VonDatumOk("01.04.2026-30.06.26", von));
  EXPECT_EQ(von, "01.04.2026");
  EXPECT_TRUE(VonDatumOk("01.04.85", von));
  EXPECT_EQ(von, "01.04.1985");
  EXPECT_TRUE(VonDatumOk("01.04.79-", von));
  EXPECT_EQ(von, "01.04.2079");
  von = "unchanged";
  EXPECT_FALSE(VonDatumOk("01.04.26-30.06.26", von));  // long text: the short shape is not tried
  EXPECT_FALSE(VonDatumOk("1.4.2026", von));
  EXPECT_FALSE(VonDatumOk("01-04-2026", von));
  EXPECT_FALSE(VonDatumOk("01.04.2x26", von));
  EXPECT_FALSE(VonDatumOk("01.04.2", von));
  EXPECT_EQ(von, "unchanged");
}

TEST(RangeText, ToDate) {
  CString bis = "unchanged";
  EXPECT_TRUE(BisDatumOk("-30.06.2026", bis));
  EXPECT_EQ(bis, "30.06.2026");
  EXPECT_TRUE(BisDatumOk("-30.06.79", bis));
  EXPECT_EQ(bis, "30.06.2079");
  EXPECT_TRUE(BisDatumOk("-30.06.80", bis));
  EXPECT_EQ(bis, "30.06.1980");
  bis = "unchanged";
  EXPECT_FALSE(BisDatumOk("30.06.2026", bis));
  EXPECT_FALSE(BisDatumOk("-30.06.26xx", bis));  // long text fails the long shape
  EXPECT_FALSE(BisDatumOk("-30.06.2", bis));
  EXPECT_EQ(bis, "unchanged");
}

TEST(RangeText, AllFourShapes) {
  Range r = Read("01.04.2026-30.06.2026");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.von, "01.04.2026");
  EXPECT_EQ(r.bis, "30.06.2026");
  r = Read("01.04.2026-30.06.26");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.bis, "30.06.2026");
  r = Read("01.04.85-30.06.2026");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.von, "01.04.1985");
  EXPECT_EQ(r.bis, "30.06.2026");
  r = Read("01.04.26-30.06.26");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.von, "01.04.2026");
  EXPECT_EQ(r.bis, "30.06.2026");
  r = Read("01.04.2026-30.06.2026 und mehr");  // text after the long shape is ignored
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.bis, "30.06.2026");
}

TEST(RangeText, MismatchesLeaveTheOutputs) {
  for (const char* text : {"01.04.2026 30.06.2026", "01.04.26 30.06.26", "01.04.2026-30.06.2", "1.4.26-30.6.26",
                           "01.04.26-30.06.202x", "", "01.04.2026"}) {
    const Range r = Read(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_EQ(r.von, "unchanged") << text;
    EXPECT_EQ(r.bis, "unchanged") << text;
  }
}
