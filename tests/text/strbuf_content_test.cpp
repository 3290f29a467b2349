// CXTStrBuf: construction, writing, searching, cutting, fields and Base64.
#include <gtest/gtest.h>
#include <xtbasis/base64.h>
#include <xtbasis/strbuf.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

std::string Bytes(const CXTStrBuf& b) { return std::string(static_cast<const char*>(b), b.GetLength()); }

CXTStrBuf Binary(const std::string& bytes) {
  CXTStrBuf b;
  b.Add(static_cast<unsigned int>(bytes.size()), bytes.data());
  return b;
}

TEST(StrBuf, ConstructionAndAdoption) {
  EXPECT_TRUE(CXTStrBuf().IsEmpty());
  EXPECT_EQ(Bytes(CXTStrBuf(static_cast<const char*>(nullptr))), "");
  EXPECT_EQ(Bytes(CXTStrBuf('q', 0)), "q");
  EXPECT_EQ(Bytes(CXTStrBuf(CString(std::string("a\0b", 3)))), std::string("a\0b", 3));
  const CXTStrBuf binary = Binary(std::string("x\0y", 3));
  const CXTStrBuf copy(binary);
  EXPECT_EQ(Bytes(copy), std::string("x\0y", 3));
  EXPECT_NE(static_cast<const char*>(copy), static_cast<const char*>(binary));

  char* owned = static_cast<char*>(std::malloc(4));
  std::memcpy(owned, "abc", 4);
  CXTStrBuf adopted(3, owned);
  EXPECT_EQ(static_cast<const char*>(adopted), owned);
  adopted += "de";  // grows the adopted buffer; the destructor frees it
  EXPECT_EQ(Bytes(adopted), "abcde");
}

TEST(StrBuf, AssignmentAndAppendingIncludingOwnContent) {
  CXTStrBuf b("hello");
  const CXTStrBuf& same = b;
  b = same;
  EXPECT_EQ(Bytes(b), "hello");
  b = static_cast<const char*>(b);
  EXPECT_EQ(Bytes(b), "hello");
  b = static_cast<const char*>(b) + 2;  // a text inside the buffer itself
  EXPECT_EQ(Bytes(b), "llo");
  b += b;
  EXPECT_EQ(Bytes(b), "llollo");
  CXTStrBuf small("ab", 2, 0);
  small += small;  // grows while reading itself
  small.Add(static_cast<const char*>(small), 3);
  EXPECT_EQ(Bytes(small), "abab" "abab" "abab" "abab");
  b = 'c';
  b += 'd';
  b += CString("ef");
  b += static_cast<const char*>(nullptr);
  EXPECT_EQ(Bytes(b), "cdef");
  const CXTStrBuf sum = b + "g" + 'h' + CString("i") + CXTStrBuf("j");
  EXPECT_EQ(Bytes(sum), "cdefghij");
  EXPECT_EQ(Bytes(b), "cdef");
  b += static_cast<const char*>(b) + 1;  // a text of its own, appended as text
  EXPECT_EQ(Bytes(b), "cdefdef");
}

// Texts around the short-text length, into buffers with room to spare, with
// just enough room and with too little.
TEST(StrBuf, TextAppendsOfEveryLengthAtEveryFill) {
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ";
  for (size_t length = 0; length <= 40; ++length) {
    const std::string text = alphabet.substr(0, length);
    for (unsigned int fill = 0; fill <= 40; ++fill) {
      CXTStrBuf buffer(std::string(fill, '.').c_str(), 40, 0);
      buffer += text.c_str();
      ASSERT_EQ(Bytes(buffer), std::string(fill, '.') + text) << length << " " << fill;
      ASSERT_EQ(static_cast<const char*>(buffer)[buffer.GetLength()], '\0');
    }
  }
}

// Texts that end at the last byte before a page nobody may read: a short
// text is read in wider pieces, which must never reach into that page.
TEST(StrBuf, TextAppendsEndingAtAnUnreadablePage) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* pages = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  char* const edge = static_cast<char*>(pages) + page;
  ASSERT_EQ(mprotect(edge, page, PROT_NONE), 0);
  for (size_t length = 0; length <= 20; ++length) {
    char* const text = edge - length - 1;
    std::memset(text, 'k', length);
    text[length] = '\0';
    CXTStrBuf buffer("<", 64, 0);
    buffer += text;
    EXPECT_EQ(Bytes(buffer), "<" + std::string(length, 'k')) << length;
  }
  munmap(pages, 2 * page);
}

TEST(StrBuf, RepeatedAndRawAppends) {
  CXTStrBuf b("x");
  b.Add("", 5);
  EXPECT_EQ(Bytes(b), "x");
  b.Add("ab", 3);
  b.AddCRLF(2);
  b.AddLF(1);
  b.AddTab(2);
  b.Add('-', 0);
  b.Add('-', 2);
  EXPECT_EQ(Bytes(b), "xababab\r\n\r\n\n\t\t--");
  b.Set("12\0" "34", 5);
  EXPECT_EQ(Bytes(b), std::string("12\0" "34", 5));
  b.Set("56\0" "78", CXTStrBuf::npos);
  EXPECT_EQ(Bytes(b), "56");
  b.Add(0, "zzz");
  b.DoAdd("9\0", 1);
  EXPECT_EQ(Bytes(b), "569");
}

TEST(StrBuf, LengthEditing) {
  CXTStrBuf b("ab");
  b.SetLength(5, '*');
  EXPECT_EQ(Bytes(b), "ab***");
  b.SetLength(1, '*');
  EXPECT_EQ(Bytes(b), "a");
  b = "ab";
  b.Truncate(9);
  EXPECT_EQ(Bytes(b), "ab");
  b = "\t x ";
  b.TrimLeft();
  EXPECT_EQ(Bytes(b), "x ");
  b = "\t x ";
  b.TrimRight();
  EXPECT_EQ(Bytes(b), "\t x");
  b = " \r\n\v\f\t";
  b.TrimLeft();
  EXPECT_TRUE(b.IsEmpty());
  char* raw = b.GetBuffer(10);
  std::memcpy(raw, "direct\0xx", 9);
  b.ReleaseBuffer();
  EXPECT_EQ(Bytes(b), "direct");
  b.ReleaseBuffer(8);
  EXPECT_EQ(Bytes(b), std::string("direct\0x", 8));
  EXPECT_EQ(static_cast<const char*>(b)[8], '\0');
}

TEST(StrBuf, CompareAndSearch) {
  EXPECT_EQ(CXTStrBuf("abd").Compare("abc"), 1);
  EXPECT_EQ(CXTStrBuf("ab").Compare("abc"), -1);
  EXPECT_EQ(CXTStrBuf("abc").Compare("abc"), 0);
  EXPECT_EQ(CXTStrBuf("\xE4").Compare("z"), 1);
  EXPECT_EQ(Binary(std::string("ab\0c", 4)).Compare("ab"), 0);

  const CXTStrBuf ten("0123456789");
  EXPECT_EQ(ten.Find('x', 10), CXTStrBuf::npos);
  EXPECT_EQ(ten.Find('5', 0), 5u);
  EXPECT_EQ(ten.Find('5', 6), CXTStrBuf::npos);
  EXPECT_EQ(ten.Find('\0', 3), 10u);
  const CXTStrBuf binary = Binary(std::string("ab\0ab", 5));
  EXPECT_EQ(binary.Find('b', 2), CXTStrBuf::npos) << "the search ends at the first NUL";
  EXPECT_EQ(binary.Find('\0', 0), 2u);
  EXPECT_EQ(ten.FindOneOf("97", 0), 7u);
  EXPECT_EQ(ten.FindOneOf("", 0), CXTStrBuf::npos);
  EXPECT_EQ(ten.FindOneOf("0", 1), CXTStrBuf::npos);
  EXPECT_EQ(binary.FindOneOf("b", 3), 4u);
}

TEST(StrBuf, CuttingRawAndAsText) {
  const CXTStrBuf b("abcdef");
  EXPECT_EQ(Bytes(b.Left(3)), "abc");
  EXPECT_EQ(Bytes(b.Left(99)), "abcdef");
  EXPECT_EQ(Bytes(b.Right(2)), "ef");
  EXPECT_EQ(Bytes(b.Mid(6)), "");
  EXPECT_EQ(Bytes(b.Mid(7)), "");
  EXPECT_EQ(Bytes(b.Mid(2, 3)), "cde");
  EXPECT_EQ(Bytes(b.Mid(2, 4)), "cdef");
  EXPECT_EQ(Bytes(b.Mid(2, 0)), "");
  EXPECT_EQ(Bytes(b.Mid(2, CXTStrBuf::npos)), "cdef");
  const CXTStrBuf binary = Binary(std::string("a\0bc\0d", 6));
  EXPECT_EQ(Bytes(binary.Left(3)), std::string("a\0b", 3));
  EXPECT_EQ(Bytes(binary.Right(4)), std::string("bc\0d", 4));
  EXPECT_EQ(Bytes(binary.Mid(2)), "bc");
  EXPECT_EQ(Bytes(binary.Mid(1, 3)), std::string("\0bc", 3));
  EXPECT_EQ(Bytes(binary.Mid(2, 4)), "bc");
}

template <typename Field>
std::string Fields(const CXTStrBuf& b, const char* separators, char separator) {
  std::string out;
  unsigned int pos = 0;
  Field field;
  while (separators ? b.GetNextString(pos, separators, field) : b.GetNextString(pos, separator, field))
    out += "[" + std::string(static_cast<const char*>(field)) + "]";
  out += std::to_string(pos);
  return out;
}

TEST(StrBuf, FieldsForBothFieldTypes) {
  const CXTStrBuf list("a,,b,");
  EXPECT_EQ(Fields<CXTStrBuf>(list, nullptr, ','), "[a][][b]5");
  EXPECT_EQ(Fields<CString>(list, nullptr, ','), "[a][][b]5");
  const CXTStrBuf pair("x;y");
  unsigned int pos = 0;
  CString field("stale");
  EXPECT_TRUE(pair.GetNextString(pos, ';', field));
  EXPECT_EQ(field, "x");
  EXPECT_EQ(pos, 2u);
  EXPECT_TRUE(pair.GetNextString(pos, ';', field));
  EXPECT_EQ(field, "y");
  EXPECT_EQ(pos, 3u);
  EXPECT_FALSE(pair.GetNextString(pos, ';', field));
  EXPECT_TRUE(field.IsEmpty());
  const CXTStrBuf mixed("1;2 3;;4");
  EXPECT_EQ(Fields<CXTStrBuf>(mixed, "; ", 0), "[1][2][3][][4]8");
  EXPECT_EQ(Fields<CString>(mixed, "", 0), "[1;2 3;;4]8");
  // A field ends at an embedded NUL; the rest after it stays unread.
  const CXTStrBuf binary = Binary(std::string("ab\0c;d", 6));
  EXPECT_EQ(Fields<CString>(binary, nullptr, ';'), "[ab]6");
  EXPECT_EQ(Fields<CString>(binary, nullptr, '\0'), "[ab][c;d]6");
}

TEST(StrBuf, Base64BothWays) {
  CXTStrBuf target("old");
  EXPECT_TRUE(CXTStrBuf("abc").ToBase64(target, true));
  EXPECT_EQ(Bytes(target), "YWJj");
  EXPECT_TRUE(CXTStrBuf("abc").ToBase64(target, false));
  EXPECT_EQ(Bytes(target), "YWJj");
  CXTStrBuf decoded("stale content");
  EXPECT_TRUE(decoded.FromBase64(CXTStrBuf("YW Jj")));
  EXPECT_EQ(Bytes(decoded), "abc");
  EXPECT_TRUE(decoded.FromBase64(Binary(std::string("YW\0Jj", 5))));
  EXPECT_EQ(Bytes(decoded), "a");

  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes += static_cast<char>(i * 7);
  CXTStrBuf data = Binary(bytes);
  CXTStrBuf text;
  EXPECT_TRUE(data.ToBase64(text, true));
  EXPECT_EQ(Bytes(text).substr(76, 2), "\r\n");
  EXPECT_TRUE(text.FromBase64(text));  // decoding in place
  EXPECT_EQ(Bytes(text), bytes);
  EXPECT_TRUE(data.ToBase64(data, false));  // encoding in place
  EXPECT_EQ(Bytes(data).size(), 800u);

  // The line layout is the encoder's: a multiple of 57 bytes leaves an empty
  // last line, so the text ends with its separator.
  for (size_t length : {57u, 58u, 114u}) {
    const CXTStrBuf block = Binary(bytes.substr(0, length));
    EXPECT_TRUE(block.ToBase64(text, true));
    EXPECT_EQ(Bytes(text), EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        static_cast<int>(length), true).str());
  }
  EXPECT_EQ(Bytes(text).size(), 2 * 78u);
  EXPECT_EQ(Bytes(text).substr(Bytes(text).size() - 2), "\r\n");
}

// Trimming follows isspace of the process locale; the content stays bytes.
TEST(StrBuf, TrimmingUnderTheGermanLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not generated";
  CXTStrBuf b("\xA0\xE4 \t");
  b.TrimRight();
  b.TrimLeft();
  EXPECT_EQ(Bytes(b), "\xA0\xE4");
  std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
