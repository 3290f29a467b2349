// The vector steps of the Base64 coder against OpenSSL and a plain decoder,
// at every width the processor has, on random lengths, foreign characters
// at random places and short output room.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <xtbasis/base64.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base64_codec.h"
#include "base64_vector.h"

namespace {

using xtb::base64::Width;

std::vector<Width> Widths() {
  std::vector<Width> widths;
  for (Width w : {Width::none, Width::avx2, Width::vbmi})
    if (static_cast<int>(w) <= static_cast<int>(xtb::base64::VectorWidth())) widths.push_back(w);
  return widths;
}

std::string PeerEncode(const unsigned char* bytes, size_t count) {
  std::string out(4 * ((count + 2) / 3) + 1, '\0');
  out.resize(static_cast<size_t>(
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes, static_cast<int>(count))));
  return out;
}

// Decoding by definition: alphabet characters only, up to a NUL.
std::string PlainDecode(const std::string& text) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  uint32_t bits = 0;
  int held = 0;
  for (char c : text) {
    if (c == '\0') break;
    const size_t v = alphabet.find(c);
    if (v == std::string::npos) continue;
    bits = bits << 6 | static_cast<uint32_t>(v);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes += static_cast<char>(bits >> held);
    }
  }
  return bytes;
}

TEST(Base64Vector, EncodingStepsMatchThePeer) {
  std::mt19937 random(7);
  std::vector<unsigned char> bytes(3 * 400);
  for (auto& b : bytes) b = static_cast<unsigned char>(random());
  for (Width width : Widths()) {
    for (int round = 0; round < 200; ++round) {
      const size_t groups = random() % 400;
      std::string out(4 * groups, '\0');
      const size_t done = xtb::base64::EncodeVector(width, bytes.data(), groups, out.data());
      ASSERT_LE(done, groups);
      if (width != Width::none) {
        EXPECT_LE(groups - done, 9u) << "groups " << groups;
      }
      EXPECT_EQ(out.substr(0, 4 * done), PeerEncode(bytes.data(), 3 * done)) << "groups " << groups;
    }
  }
}

TEST(Base64Vector, DecodingStepsStopAtForeignCharactersAndRoom) {
  std::mt19937 random(11);
  std::vector<unsigned char> bytes(3 * 300);
  for (auto& b : bytes) b = static_cast<unsigned char>(random());
  const std::string text = PeerEncode(bytes.data(), bytes.size());
  const char foreign[] = {'\0', '\r', '=', '-', '\x80', '\xFF', '@', '[', '`', '{', '.', ':'};
  for (Width width : Widths()) {
    for (int round = 0; round < 300; ++round) {
      std::string part = text.substr(0, random() % text.size());
      size_t firstForeign = part.size();
      if (!part.empty() && random() % 2 == 0) {
        firstForeign = random() % part.size();
        part[firstForeign] = foreign[random() % sizeof foreign];
      }
      const size_t room = random() % 4 == 0 ? random() % (part.size() + 1) : part.size();
      std::vector<unsigned char> out(room + 1, 0);
      const size_t done = xtb::base64::DecodeVector(width, reinterpret_cast<const unsigned char*>(part.data()),
                                                    part.size(), out.data(), room);
      ASSERT_EQ(done % 32, 0u);
      ASSERT_LE(done, firstForeign);
      ASSERT_LE(done / 4 * 3, room);
      EXPECT_EQ(std::memcmp(out.data(), bytes.data(), done / 4 * 3), 0) << "round " << round;
      if (width != Width::none) {  // it went as far as a 32-character step could
        EXPECT_LT(std::min(firstForeign, room / 3 * 4) - done, 32u) << "round " << round;
      }
    }
  }
}

// The whole coder, vector steps and table between them, on long text with
// line breaks, stray characters and a NUL.
TEST(Base64Vector, WholeDecoderOnNoisyText) {
  std::mt19937 random(13);
  std::vector<unsigned char> bytes(100000);
  for (auto& b : bytes) b = static_cast<unsigned char>(random());
  std::string text = EncodeBase64(bytes.data(), static_cast<int>(bytes.size()), true).str();
  for (int stray = 0; stray < 50; ++stray) text.insert(random() % text.size(), 1, "!\t =\xE4"[random() % 5]);
  const std::string withNul = text.substr(0, 70000) + '\0' + text.substr(70000);
  for (const std::string& input : {text, withNul}) {
    std::vector<unsigned char> out(xtb::base64::MaxDecodedLength(input.size()));
    const size_t produced = xtb::base64::DecodeTo(input.data(), input.size(), out.data(), out.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out.data()), produced), PlainDecode(input));
  }
}

}  // namespace
