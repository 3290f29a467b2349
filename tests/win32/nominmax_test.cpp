// With NOMINMAX a ported program keeps std::min and numeric_limits as they are.
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <limits>

#include <gtest/gtest.h>

#ifdef min
#error "NOMINMAX leaves min undefined"
#endif
#ifdef max
#error "NOMINMAX leaves max undefined"
#endif

namespace {

TEST(MinMax, NominmaxLeavesTheStandardNamesAlone) {
  EXPECT_EQ(std::min(3, 5), 3);
  EXPECT_EQ(std::max({1, 7, 4}), 7);
  EXPECT_EQ(std::numeric_limits<short>::max(), 32767);
}

}  // namespace
