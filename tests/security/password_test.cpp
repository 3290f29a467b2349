#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include <xtbasis/cryptic.h>
#include <xtbasis/password.h>

namespace {

const char kSpecials[] = "$!%^(){}[];:<>?#";

int KindsIn(const CString& password) {
  bool lower = false, upper = false, digit = false, special = false;
  for (char ch : password.view()) {
    lower |= ch >= 'a' && ch <= 'z';
    upper |= ch >= 'A' && ch <= 'Z';
    digit |= ch >= '0' && ch <= '9';
    special |= std::strchr(kSpecials, ch) != nullptr;
  }
  return lower + upper + digit + special;
}

TEST(CreatePassword, FollowsItsRules) {
  std::set<std::string> seen;
  for (int round = 0; round < 200; ++round) {
    const int length = 3 + round % 14;
    const CString password = XTCreatePassword(length);
    ASSERT_EQ(password.GetLength(), length);
    EXPECT_GE(KindsIn(password), 3) << password.str();
    for (int i = 0; i < length; ++i) {
      const char ch = password[i];
      EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(ch)) || std::strchr(kSpecials, ch)) << password.str();
      if (i > 0) {
        EXPECT_NE(ch, password[i - 1]) << password.str();
      }
    }
    seen.insert(password.str());
  }
  // The seed accumulator moves on between calls, even within one tick.
  EXPECT_GT(seen.size(), 150u);
}

TEST(CreatePassword, TooShortLengthsGiveEmpty) {
  for (int length : {-5, 0, 1, 2}) EXPECT_EQ(XTCreatePassword(length), "") << length;
}

TEST(GeneratePassword, UsesEveryGroupAndOnlyTheirCharacters) {
  const std::vector<CString> groups = {"abc", "0123"};
  for (int round = 0; round < 100; ++round) {
    const CString password = GeneratePassword(4, groups);
    ASSERT_EQ(password.GetLength(), 4);
    EXPECT_TRUE(IsValidPassword(password, 4, 4, groups)) << password.str();
  }
  const std::vector<CString> many = {"a", "b", "c", "d", "e"};
  EXPECT_TRUE(IsValidPassword(GeneratePassword(5, many), 5, 5, many));
}

TEST(GeneratePassword, ImpossibleArgumentsGiveEmptyAtOnce) {
  EXPECT_EQ(GeneratePassword(0, {}), "");
  EXPECT_EQ(GeneratePassword(8, {}), "");
  EXPECT_EQ(GeneratePassword(-1, {"ab"}), "");
  EXPECT_EQ(GeneratePassword(8, {"ab", ""}), "");
  EXPECT_EQ(GeneratePassword(2, {"a", "b", "c"}), "");
  EXPECT_EQ(GeneratePassword(0, {"a"}), "");
}

TEST(IsValidPassword, LengthMembershipAndCoverage) {
  const std::vector<CString> groups = {"ab", "1"};
  EXPECT_TRUE(IsValidPassword("ab1", 3, 10, groups));
  EXPECT_FALSE(IsValidPassword("ab", 3, 10, groups));           // too short
  EXPECT_FALSE(IsValidPassword("ab1ab1ab1ab", 3, 10, groups));  // too long
  EXPECT_TRUE(IsValidPassword("ab1ab1ab1a", 3, 10, groups));    // both bounds inclusive
  EXPECT_FALSE(IsValidPassword("ab1x", 3, 10, groups));         // x in no group
  EXPECT_FALSE(IsValidPassword("aaa", 3, 10, groups));          // second group unused
}

TEST(IsValidPassword, FirstGroupHoldingACharacterCounts) {
  const std::vector<CString> groups = {"ab", "a1"};
  EXPECT_TRUE(IsValidPassword("a1", 2, 2, groups));
  EXPECT_FALSE(IsValidPassword("aa", 2, 2, groups));
  EXPECT_TRUE(IsValidPassword("", 0, 5, {}));
  EXPECT_FALSE(IsValidPassword("a", 0, 5, {}));
}

TEST(MakeCryptic, IsItsOwnInverseAndKeepsDelimiters) {
  const std::string original("Zahnarzt|Dr. O'Neill\0Mitte", 26);
  std::string buffer = original;
  MakeCryptic(buffer.data(), static_cast<int>(buffer.size()), "Schluessel");
  EXPECT_NE(buffer, original);
  for (size_t i = 0; i < buffer.size(); ++i) {
    const bool special = original[i] == '|' || original[i] == '\'' || original[i] == '\0';
    if (special) {
      EXPECT_EQ(buffer[i], original[i]) << i;
    } else {
      EXPECT_TRUE(buffer[i] != '|' && buffer[i] != '\'' && buffer[i] != '\0') << i;
    }
  }
  MakeCryptic(buffer.data(), static_cast<int>(buffer.size()), "Schluessel");
  EXPECT_EQ(buffer, original);
}

TEST(MakeCryptic, BytesThatWouldBecomeProtectedStay) {
  // 'k' ^ 'k' is NUL, 'k' ^ 0x17 is '|', 'L' ^ 0x6B is '\''.
  char buffer[] = {'k', 'k', 'L', 'x'};
  const char key[] = {'k', 0x17, 0x6B, 0};
  MakeCryptic(buffer, 4, key);
  EXPECT_EQ(std::string(buffer, 4), std::string("kkL") + static_cast<char>('x' ^ 'k'));

  char untouched[] = "abc";
  MakeCryptic(untouched, 3, "");
  MakeCryptic(untouched, 0, "key");
  MakeCryptic(untouched, 3, nullptr);
  EXPECT_STREQ(untouched, "abc");
}

}  // namespace
