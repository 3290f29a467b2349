// In-place editing, placeholders, line breaking and list building.
#include <gtest/gtest.h>
#include <xtbasis/textfields.h>

#include <clocale>
#include <string>

namespace {

CString Edited(CString text, void (*edit)(CString&, int, int), int a, int b) {
  edit(text, a, b);
  return text;
}

TEST(TextEdit, BlanksAndZeroes) {
  CString text("ab");
  AppendBlanks(text, 2);
  EXPECT_EQ(text, "ab  ");
  AppendBlanks(text, -3);
  EXPECT_EQ(text, "ab  ");
  AddBlanks(text, 6);
  EXPECT_EQ(text, "ab    ");
  AddBlanks(text, 2);
  EXPECT_EQ(text, "ab    ");
  CString digits("1 2 ");
  TrailZeroes(digits, 3);
  EXPECT_EQ(digits, "1020");
  CString shortText(" 1");
  TrailZeroes(shortText, 9);
  EXPECT_EQ(shortText, "01");
  EXPECT_EQ(Edited("abcd", InsertBlanks, 3, 2), "ab  cd");
  EXPECT_EQ(Edited("abcd", InsertBlanks, 0, 2), "  abcd");
  EXPECT_EQ(Edited("abcd", InsertBlanks, 9, 1), "abcd ");
  EXPECT_EQ(Edited("abcd", InsertBlanks, 2, 0), "abcd");
  CString spaced(" a b  c ");
  RemoveBlanks(spaced);
  EXPECT_EQ(spaced, "abc");
}

TEST(TextEdit, DeleteLeftRemovesUpToAndIncludingPosition) {
  CString text("abcd");
  DeleteLeft(text, 1);
  EXPECT_EQ(text, "cd");
  text = "abcd";
  DeleteLeft(text, 3);
  EXPECT_EQ(text, "");
  text = "abcd";
  DeleteLeft(text, -1);
  EXPECT_EQ(text, "abcd");
}

CString Put(const char* text, int pos, const char* part, char fill) {
  CString edited(text);
  PutMidStr(edited, pos, part, fill);
  return edited;
}

TEST(TextEdit, PutMidStrLengthensOnlyWithFill) {
  EXPECT_EQ(Put("abc", 2, "XYZ", '.'), "abXYZ");
  EXPECT_EQ(Put("abc", 2, "XYZ", '\0'), "abX");
  EXPECT_EQ(Put("abc", 5, "XYZ", '.'), "abc..XYZ");
  EXPECT_EQ(Put("abc", 3, "XYZ", '\0'), "abc");
  EXPECT_EQ(Put("abcdef", 1, "XY", '.'), "aXYdef");
  EXPECT_EQ(Put("abc", -1, "XY", '.'), "abc");
}

TEST(TextEdit, CharacterReplacement) {
  CString text("a-b-c");
  ReplaceCharWith(text, '-', '+', 0);
  EXPECT_EQ(text, "a+b-c");
  ReplaceCharWith(text, '-', '+', 1);
  EXPECT_EQ(text, "a+b+c");
  ReplaceAll(text, '+', '/');
  EXPECT_EQ(text, "a/b/c");
  EXPECT_EQ(ReplaceTo("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceTo("abab", "a", "aa"), "aabaab");
  EXPECT_EQ(ReplaceTo("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceTo("abc", "b", ""), "ac");
  CString white("\t x \r\n");
  Trim(white);
  EXPECT_EQ(white, "x");
}

TEST(TextEdit, PlaceholdersMatchTheLowerCasedText) {
  CString text("Name: $NAME");
  EXPECT_EQ(Pseudos2Text(text, "$name", "Ute"), 1);
  EXPECT_EQ(text, "Name: Ute");
  // Umlauts are lower-cased by code page 1252 as well.
  CString umlaut("Gr\xC4\xDF" "e \xC4rger");
  EXPECT_EQ(Pseudos2Text(umlaut, "\xE4", "ae"), 2);
  EXPECT_EQ(umlaut, "Grae\xDF" "e aerger");
  // An upper-case placeholder never matches the lower-cased text.
  CString upper("$NAME");
  EXPECT_EQ(Pseudos2Text(upper, "$NAME", "x"), 0);
  EXPECT_EQ(upper, "$NAME");
}

TEST(TextEdit, PlaceholdersEndWhenTheValueContainsThem) {
  CString text("<a> and <a>");
  EXPECT_EQ(Pseudos2Text(text, "<a>", "[<A>]"), 2);
  EXPECT_EQ(text, "[<A>] and [<A>]");
  CString empty("abc");
  EXPECT_EQ(Pseudos2Text(empty, "", "x"), 0);
  EXPECT_EQ(empty, "abc");
  // Searching again from the start finds an occurrence the replacement formed.
  CString formed("$$nameame");
  EXPECT_EQ(Pseudos2Text(formed, "$name", "$n"), 2);
  EXPECT_EQ(formed, "$$n");
}

CString Extracted(const char* text, const char* separator, int count) {
  CString edited(text);
  ExtractString(edited, separator, count);
  return edited;
}

TEST(TextEdit, ExtractStringDropsLeadingFields) {
  EXPECT_EQ(Extracted("a;b;c;d", ";", 2), "c;d");
  EXPECT_EQ(Extracted("a;b;c;d", ";", 9), "d");
  EXPECT_EQ(Extracted("a; b", ";", 0), "b");  // at least one cut, then trimmed
  EXPECT_EQ(Extracted("  abc", ";", 1), "  abc");
  EXPECT_EQ(Extracted("a::b", "::", 1), ":b");
  EXPECT_EQ(Extracted("abc", "", 1), "abc");
}

TEST(TextLines, LineBreakAtBlanks) {
  CString text("aaa bbb ccc");
  CString line;
  LineBreak(text, 7, line);
  EXPECT_EQ(line, "aaa bbb");
  EXPECT_EQ(text, " ccc");
  LineBreak(text, 7, line);
  EXPECT_EQ(line, "ccc");
  EXPECT_EQ(text, "");
  text = "abcdefghij kl";
  LineBreak(text, 4, line);
  EXPECT_EQ(line, "abcd");
  EXPECT_EQ(text, "efghij kl");
  text = "\r\nab\r\ncd\n\ref\rg";
  LineBreak(text, 99, line);
  EXPECT_EQ(line, "ab cd ef g");
}

struct Broken {
  std::string line;
  std::string rest;
};

Broken Break2(const char* text, int width, const char* breaks) {
  CString rest(text);
  CString line("stale");
  LineBreak2(rest, width, line, breaks);
  return {line.str(), rest.str()};
}

bool operator==(const Broken& a, const Broken& b) { return a.line == b.line && a.rest == b.rest; }

TEST(TextLines, LineBreak2EndsLinesBehindBreakCharacters) {
  EXPECT_TRUE(Break2("abc-defgh", 5, "-") == (Broken{"abc-", "defgh"}));
  EXPECT_TRUE(Break2("abcd-efgh", 4, "-") == (Broken{"abcd", "-efgh"}));
  EXPECT_TRUE(Break2("abcd-efgh", 5, "-") == (Broken{"abcd-", "efgh"}));
  EXPECT_TRUE(Break2("ab cdefgh", 5, "-") == (Broken{"ab", " cdefgh"}));
  EXPECT_TRUE(Break2("abcdefgh", 3, "-") == (Broken{"abc", "defgh"}));
  EXPECT_TRUE(Break2("ab/cd-efgh", 6, "-/") == (Broken{"ab/cd-", "efgh"}));
  // A text within the width is still cut at its first break character.
  EXPECT_TRUE(Break2("ab-cd", 9, "-") == (Broken{"ab", "cd"}));
  EXPECT_TRUE(Break2("ab-", 9, "-") == (Broken{"ab", ""}));
  EXPECT_TRUE(Break2("abcd", 9, "-") == (Broken{"abcd", ""}));
  EXPECT_TRUE(Break2("\r\nab\ncd", 9, "") == (Broken{"ab cd", ""}));
}

TEST(TextLines, AddBuildsListsWithinMaximum) {
  CString text("a");
  EXPECT_EQ(Add(text, ", ", "b", -1), 4);
  EXPECT_EQ(text, "a, b");
  text = "a\r\n";
  Add(text, ", ", "b", -1);
  EXPECT_EQ(text, "a\r\nb");
  text = "ab";
  EXPECT_EQ(Add(text, ", ", "b", 3), 3);
  EXPECT_EQ(text, "ab,");
  EXPECT_EQ(Add(text, ", ", "c", 3), 3);
  EXPECT_EQ(text, "ab,");
  text = "";
  Add(text, ", ", "x", -1);
  EXPECT_EQ(text, "x");
  Add(text, ", ", "", -1);
  EXPECT_EQ(text, "x");
}

}  // namespace

namespace {

// Lower-casing for placeholders uses the code page 1252 tables, not the locale.
TEST(TextEdit, PlaceholdersUnderTheGermanLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not generated";
  CString text("\xDC" "BER \xD6L");
  const int count = Pseudos2Text(text, "\xfc" "ber \xf6l", "x");
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(count, 1);
  EXPECT_EQ(text, "x");
}

}  // namespace
