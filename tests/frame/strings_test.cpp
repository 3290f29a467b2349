// The string table and the look-ups by id or text.
#include <gtest/gtest.h>

#include <string>
#include <xtbasis/platform/module.h>
#include <xtbasis/resstrings.h>

#include "stringtable.h"

namespace {

TEST(StringTable, HoldsTheTextsInCodePage1252) {
  EXPECT_EQ(xtb::kXTBasisStringCount, 168u);
  ASSERT_NE(g_hInst_XTBasis, nullptr);
  CString s;
  EXPECT_TRUE(LoadXTString(2010, s));
  EXPECT_EQ(s, "Datei nicht gefunden");
  EXPECT_TRUE(LoadXTString(2, s));
  EXPECT_EQ(s, "\xC4nderung");  // Ä in 1252
  EXPECT_TRUE(LoadXTString(129, s));
  EXPECT_EQ(s, "ESC  -  Abbrechen");
  EXPECT_TRUE(LoadXTString(1030, s));
  EXPECT_EQ(s, "Ende: ");
  EXPECT_TRUE(LoadXTString(2327, s));
  EXPECT_EQ(s, "Eine Kopie des Ausdrucks wurde unter\nPat.Nr.\t $1\nName\t $2\nabgelegt");
  EXPECT_TRUE(LoadXTString(7135, s));
  EXPECT_NE(s.Find("R9 wird daher jetzt gesperrt."), -1);
  EXPECT_TRUE(LoadXTString(2190, s));
  EXPECT_EQ(s.Find("Mit Anhaken der Option werden alle Rechnungen mit einem Betrag von 0,00 EUR gedruckt."), 0);
}

TEST(StringTable, MissingIdsAndTextAddresses) {
  CString s("unchanged");
  EXPECT_FALSE(LoadXTString(2026, s));
  EXPECT_EQ(s, "unchanged");
  EXPECT_TRUE(LoadXTString(0, s));
  EXPECT_EQ(s, "");
  s = "x";
  EXPECT_TRUE(GetXTString(0, s));
  EXPECT_EQ(s, "");
  static const char kLiteral[] = "Frei \xE4 Text";
  EXPECT_TRUE(GetXTString(XTTextRef(kLiteral), s));
  EXPECT_EQ(s, kLiteral);
  EXPECT_TRUE(GetResourceString(g_hInst_XTBasis, XTTextRef(kLiteral), s));
  EXPECT_EQ(s, kLiteral);
  EXPECT_TRUE(GetXTString(2000, s));
  EXPECT_EQ(s, "Erfolgreich.");
  EXPECT_FALSE(GetResourceString(nullptr, 2000, s));  // the program's module has no table
}

TEST(StringTable, LongStringsAreLoadedWhole) {
  const std::string s254(254, 'a'), s255(255, 'b'), s300(300, 'c'), s2000(2000, 'd');
  const XTResourceText texts[] = {{1, s254.c_str()}, {2, s255.c_str()}, {3, s300.c_str()}, {4, s2000.c_str()}};
  XTModuleResources resources;
  resources.name = "frame-long-strings";
  resources.strings = texts;
  resources.stringCount = 4;
  HINSTANCE module = XTRegisterModule(resources);
  ASSERT_NE(module, nullptr);
  CString out;
  for (UINT id = 1; id <= 4; ++id) {
    ASSERT_TRUE(GetResourceString(module, id, out));
    EXPECT_EQ(out, texts[id - 1].utf8) << id;
  }
}

}  // namespace
