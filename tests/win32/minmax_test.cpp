// min and max as a ported program gets them: macros from <windows.h>, and
// every standard header still usable after it.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <valarray>
#include <vector>

#include <gtest/gtest.h>

#ifndef min
#error "min is a macro after <windows.h>"
#endif

namespace {

TEST(MinMax, AreMacrosOfMixedTypesBesideTheStandardLibrary) {
  EXPECT_EQ(min(3, 5), 3);
  EXPECT_EQ(max(3, 5), 5);
  EXPECT_DOUBLE_EQ(min(2, 1.5), 1.5);  // the common type, as the macro's conditional gives
  int calls = 0;
  auto next = [&calls] { return ++calls; };
  EXPECT_EQ(max(next(), 0), 2);  // a macro reads its chosen argument twice
  // The parenthesised forms that Windows code writes still reach the library.
  std::vector<int> values{4, 1, 3};
  EXPECT_EQ(*(std::min_element)(values.begin(), values.end()), 1);
  EXPECT_EQ((std::max)(values[0], values[2]), 4);
  EXPECT_EQ((std::numeric_limits<int>::max)(), INT32_MAX);
  std::map<std::string, int> names{{"b", 2}, {"a", 1}};
  EXPECT_EQ(names.begin()->second, 1);
}

}  // namespace
