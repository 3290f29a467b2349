// Base64: line layout, lenient decoding, the buffer contract, and agreement
// with OpenSSL's block coder on random data.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <xtbasis/base64.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& bytes, bool lineBreaks) {
  return EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()),
                      lineBreaks)
      .str();
}

struct Decoded {
  bool ok;
  std::string bytes;
};

Decoded Decode(const std::string& text, int length = -1) {
  unsigned char* buffer = nullptr;
  int count = -1;
  const bool ok = DecodeBase64(text.data(), length < 0 ? static_cast<int>(text.size()) : length, &buffer, &count);
  EXPECT_NE(buffer, nullptr);
  Decoded result{ok, std::string(reinterpret_cast<char*>(buffer), static_cast<size_t>(count))};
  std::free(buffer);
  return result;
}

std::string RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string Peer(const std::string& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(n));
  return out;
}

TEST(Base64, ShortInputsAndPadding) {
  EXPECT_EQ(Encode("", true), "");
  EXPECT_EQ(Encode("abc", true), "YWJj");
  EXPECT_EQ(Encode("a", false), "YQ==");
  EXPECT_EQ(Encode("ab", false), "YWI=");
  EXPECT_EQ(Encode(std::string("\xFF\xFE\x00", 3), false), "//4A");
  EXPECT_EQ(EncodeBase64(nullptr, 5, true), "");
}

TEST(Base64, LineLayout) {
  const std::string bytes = RandomBytes(57 * 3 + 2, 1);
  for (size_t n : {56u, 57u, 58u, 114u, 115u, 171u, 173u}) {
    const std::string text = Encode(bytes.substr(0, n), true);
    // The same characters as the unbroken form, CR LF after every 76 of them
    // and at the very end only when the length is a multiple of 57.
    std::string expected;
    const std::string oneLine = Encode(bytes.substr(0, n), false);
    for (size_t i = 0; i < oneLine.size(); i += 76) {
      if (i > 0) expected += "\r\n";
      expected += oneLine.substr(i, 76);
    }
    if (n % 57 == 0) expected += "\r\n";
    EXPECT_EQ(text, expected) << n;
  }
  const std::string fiftyEight = Encode(bytes.substr(0, 58), true);
  EXPECT_EQ(fiftyEight.size(), 76u + 2 + 4);
  EXPECT_EQ(fiftyEight.substr(76, 2), "\r\n");
  EXPECT_EQ(fiftyEight.substr(80), "==");
}

TEST(Base64, DecodingSkipsForeignCharacters) {
  EXPECT_EQ(Decode("YW=Jj").bytes, "abc");
  EXPECT_EQ(Decode("YQ").bytes, "a");
  EXPECT_EQ(Decode("YWI").bytes, "ab");
  EXPECT_EQ(Decode("Y").bytes, "");
  EXPECT_EQ(Decode("").bytes, "");
  EXPECT_EQ(Decode(" Y\tW\r\nJ j ==!*").bytes, "abc");
  // Padding inside the text is skipped like any other foreign character.
  EXPECT_EQ(Decode("YQ==YWJj").bytes, Decode("YQYWJj").bytes);
  EXPECT_EQ(Decode(std::string("YWJj\0YWJj", 9)).bytes, "abc");
  EXPECT_EQ(Decode("YWJjYWJj", 6).bytes, "abca");
  EXPECT_TRUE(Decode("\xE4\xFF\x80").ok);
}

TEST(Base64, RoundTripAndPeerAgreement) {
  for (size_t n = 0; n < 300; n += 7) {
    const std::string bytes = RandomBytes(n, static_cast<unsigned>(n));
    const std::string flat = Encode(bytes, false);
    EXPECT_EQ(flat, Peer(bytes)) << n;
    EXPECT_EQ(Decode(Encode(bytes, true)).bytes, bytes) << n;
    const Decoded back = Decode(flat);
    EXPECT_TRUE(back.ok);
    EXPECT_EQ(back.bytes, bytes) << n;
  }
}

TEST(Base64, BufferContractOnDegenerateArguments) {
  unsigned char* buffer = nullptr;
  int count = -1;
  EXPECT_TRUE(DecodeBase64("YWJj", 0, &buffer, &count));
  EXPECT_NE(buffer, nullptr);
  EXPECT_EQ(count, 0);
  std::free(buffer);
  buffer = nullptr;
  EXPECT_TRUE(DecodeBase64(nullptr, 8, &buffer, &count));
  EXPECT_NE(buffer, nullptr);
  EXPECT_EQ(count, 0);
  std::free(buffer);
}

}  // namespace
