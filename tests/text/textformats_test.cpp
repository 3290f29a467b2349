#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <xtbasis/platform/registry.h>
#include <xtbasis/textformats.h>

#include "scratch_dir.h"

namespace {

TEST(Iban, GroupsOfFour) {
  EXPECT_EQ(FormatIBAN("DE89370400440532013000"), "DE89 3704 0044 0532 0130 00");
  EXPECT_EQ(FormatIBAN("DE8937040044"), "DE89 3704 0044");  // no blank at the end
  EXPECT_EQ(FormatIBAN("DE89 3704"), "DE89 3704");
  EXPECT_EQ(FormatIBAN("DE89"), "DE89");
  EXPECT_EQ(FormatIBAN("DE891"), "DE89 1");
}

TEST(Markup, TagsAndEscapes) {
  EXPECT_EQ(RemoveTags("<Bold>a</Bold> &amp;lt;"), "a &lt;");
  EXPECT_EQ(RemoveTags("<Italic>x</Italic><Underline>y</Underline>&quot;&gt;"), "xy\">");
  EXPECT_EQ(RemoveTags("<bold>a"), "<bold>a");  // case-sensitive
  EXPECT_EQ(Str2XML("a<b & \"c\""), "a&lt;b &amp; &quot;c&quot;");
  EXPECT_EQ(Str2XML("it's >"), "it's &gt;");
  EXPECT_EQ(RemoveTags(Str2XML("<Bold>&lt;")), "<Bold>&lt;");  // the two undo each other
}

TEST(Colours, BothNotations) {
  EXPECT_EQ(ColorRef2Farbe(0x0000FF, 0xFFFFFF), "0000ff");
  EXPECT_TRUE(ColorRef2Farbe(0xFFFFFF, 0xFFFFFF).IsEmpty());
  EXPECT_EQ(ColorRef2Farbe(0x12345678, 0), "345678");
  EXPECT_EQ(Farbe2XTColor("0000ff"), "#ff0000");
  EXPECT_EQ(Farbe2XTColor("123456"), "#563412");
  EXPECT_TRUE(Farbe2XTColor("").IsEmpty());
  EXPECT_EQ(XTColor2Farbe("#ff0000"), "0000ff");
  EXPECT_TRUE(XTColor2Farbe("#").IsEmpty());
  EXPECT_EQ(Farbe2ColorRef("", 5), 5u);
  EXPECT_EQ(Farbe2ColorRef("0000ff", 5), 0xFF0000FFu);
  // A 32-bit long: out-of-range texts saturate before the top byte is set.
  EXPECT_EQ(Farbe2ColorRef("7fffffff", 5), 0xFFFFFFFFu);
  EXPECT_EQ(Farbe2ColorRef("80000000", 5), 0xFFFFFFFFu);
  EXPECT_EQ(Farbe2ColorRef("100000000", 5), 0xFFFFFFFFu);
  EXPECT_EQ(Farbe2ColorRef("-80000000", 5), 0xFF000000u);
  EXPECT_EQ(Farbe2ColorRef("-80000001", 5), 0xFF000000u);
  EXPECT_EQ(Farbe2ColorRef("-1", 5), 0xFFFFFFFFu);
  EXPECT_EQ(Farbe2ColorRef("zz", 5), 0xFF000000u);
}

TEST(Tabs, RunningTotals) {
  const char* const pairs[] = {"L", "10", "X", nullptr, "R", "25", "C", "5", nullptr, nullptr};
  EXPECT_EQ(MakeAbsTabs(pairs), "L10,R35,C40");
  const char* const none[] = {nullptr, nullptr};
  EXPECT_TRUE(MakeAbsTabs(none).IsEmpty());
  const char* const wide[] = {"L", "4294967306", "R", "-4294967296", nullptr, nullptr};  // atoi saturates
  EXPECT_EQ(MakeAbsTabs(wide), "L2147483647,R-1");
}

TEST(ByteSizes, CLocaleKeepsTheDot) {
  EXPECT_EQ(BytesToString(500), "500. B");
  EXPECT_EQ(BytesToString(1536), "1.5 KB");
  EXPECT_EQ(BytesToString(1023), "1023. B");
  EXPECT_EQ(BytesToString(1024.0 * 1024 * 1024 * 1024 * 2048), "2048. TB");  // no unit above TB
}

TEST(ByteSizes, GermanDecimalComma) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  EXPECT_EQ(BytesToString(1536), "1,5 KB");
  EXPECT_EQ(BytesToString(1024), "1 KB");
  EXPECT_EQ(BytesToString(500), "500 B");
  EXPECT_EQ(BytesToString(0), "0 B");
  EXPECT_EQ(BytesToString(1048576), "1 MB");
  EXPECT_EQ(BytesToString(1023), "1023 B");
  EXPECT_EQ(BytesToString(100 * 1024), "100 KB");  // only zeros after the comma go
  std::setlocale(LC_ALL, "C");
}

class MimeTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XTBASIS_REGISTRY_DIR", m_scratch.Path().c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("XTBASIS_REGISTRY_DIR");
  }
  static void SetContentType(const char* extension, const char* type) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, extension, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Content Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(type),
                             static_cast<DWORD>(std::strlen(type) + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  ScratchDir m_scratch;
};

TEST_F(MimeTypes, RegistryFirstThenSystemTable) {
  EXPECT_EQ(GetMimeType("Bericht.XML"), "application/xml");
  EXPECT_EQ(GetMimeType("xml"), "application/xml");
  if (std::filesystem::exists("/etc/mime.types")) {
    EXPECT_EQ(GetMimeType("scan.PDF"), "application/pdf");
    EXPECT_EQ(GetMimeType("txt"), "text/plain");
  }
  EXPECT_TRUE(GetMimeType("a.nosuchextension").IsEmpty());
  EXPECT_TRUE(GetMimeType("trailingdot.").IsEmpty());

  SetContentType(".pdf", "application/x-praxis-pdf");
  SetContentType(".xml", "text/plain");
  EXPECT_EQ(GetMimeType("scan.pdf"), "application/x-praxis-pdf");
  EXPECT_EQ(GetMimeType("a.xml"), "application/xml");  // never from the registry
}

}  // namespace

TEST(MakeInCall, CutsQuotesAndJoins) {
  EXPECT_STREQ(MakeInCall("ABCDE", 2), "'AB','CD','E'");
  EXPECT_STREQ(MakeInCall("ABCDE", 5), "'ABCDE'");
  EXPECT_STREQ(MakeInCall("ABCDE", 7), "'ABCDE'");
  EXPECT_STREQ(MakeInCall("ABCDE", -1), "'ABCDE'");
  EXPECT_STREQ(MakeInCall("ABCDE", 0), "'ABCDE'");
  EXPECT_STREQ(MakeInCall("ABCD", 2), "'AB','CD'");
  EXPECT_STREQ(MakeInCall("", 3), "");
}
