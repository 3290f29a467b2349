#include <gtest/gtest.h>

#include "wildcard.h"

namespace {

using xtb::path::MatchesWildcard;

TEST(Wildcard, StarsAndQuestionMarks) {
  EXPECT_TRUE(MatchesWildcard("*", "anything"));
  EXPECT_TRUE(MatchesWildcard("*.txt", "a.b.txt"));
  EXPECT_FALSE(MatchesWildcard("*.txt", "a.txt.bak"));
  EXPECT_TRUE(MatchesWildcard("a?c", "abc"));
  EXPECT_FALSE(MatchesWildcard("a?c", "ac"));
  EXPECT_TRUE(MatchesWildcard("a*b*c", "aXXbYYbZc"));
  EXPECT_FALSE(MatchesWildcard("a*b*c", "aXXbYY"));
  EXPECT_TRUE(MatchesWildcard("**x", "x"));
  // "*.*" matches names without a dot too; brackets are ordinary.
  EXPECT_TRUE(MatchesWildcard("*.*", "README"));
  EXPECT_TRUE(MatchesWildcard("log.*", "log"));
  EXPECT_TRUE(MatchesWildcard("[a].txt", "[a].txt"));
  EXPECT_FALSE(MatchesWildcard("[a].txt", "a.txt"));
}

}  // namespace
