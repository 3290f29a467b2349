#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>

#include <xtbasis/platform/winlong.h>

namespace {

using xtb::winlong::AToL;
using xtb::winlong::StrToL;
using xtb::winlong::StrToUL;

TEST(WinLong, SignedSaturatesAtThirtyTwoBits) {
  EXPECT_EQ(StrToL("2147483647", nullptr, 10), INT32_MAX);
  EXPECT_EQ(StrToL("2147483648", nullptr, 10), INT32_MAX);
  EXPECT_EQ(StrToL("-2147483648", nullptr, 10), INT32_MIN);
  EXPECT_EQ(StrToL("-2147483649", nullptr, 10), INT32_MIN);
  EXPECT_EQ(StrToL("123456789012345678901234567890", nullptr, 10), INT32_MAX);  // beyond 64 bits too
  EXPECT_EQ(StrToL("-123456789012345678901234567890", nullptr, 10), INT32_MIN);
  EXPECT_EQ(StrToL("7FFFFFFF", nullptr, 16), INT32_MAX);
  EXPECT_EQ(StrToL("80000000", nullptr, 16), INT32_MAX);
  EXPECT_EQ(StrToL("-80000000", nullptr, 16), INT32_MIN);
  EXPECT_EQ(StrToL("0x10", nullptr, 0), 16);
  EXPECT_EQ(StrToL("010", nullptr, 0), 8);
  EXPECT_EQ(StrToL(" \t+42x", nullptr, 10), 42);
  EXPECT_EQ(StrToL("zz", nullptr, 36), 35 * 36 + 35);
}

TEST(WinLong, UnsignedNegatesInThirtyTwoBitsAndSaturates) {
  EXPECT_EQ(StrToUL("4294967295", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(StrToUL("4294967296", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(StrToUL("-1", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(StrToUL("-2", nullptr, 10), UINT32_MAX - 1);
  EXPECT_EQ(StrToUL("-4294967295", nullptr, 10), 1u);
  EXPECT_EQ(StrToUL("-4294967296", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(StrToUL(" -99999999999999999999999", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(StrToUL("99999999999999999999999", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(StrToUL("0xFFFFFFFF", nullptr, 0), UINT32_MAX);
  EXPECT_EQ(StrToUL("0x100000000", nullptr, 0), UINT32_MAX);
  EXPECT_EQ(StrToUL("\n-0", nullptr, 10), 0u);
}

TEST(WinLong, EndPointerErrnoAndEmptyTexts) {
  char text[] = "  -12abc";
  char* end = nullptr;
  errno = 0;
  EXPECT_EQ(StrToL(text, &end, 10), -12);
  EXPECT_EQ(end, text + 5);
  EXPECT_EQ(StrToUL(text, &end, 10), UINT32_MAX - 11);
  EXPECT_EQ(end, text + 5);
  char none[] = "abc";
  EXPECT_EQ(StrToL(none, &end, 10), 0);
  EXPECT_EQ(end, none);  // no digits: end is the start
  EXPECT_EQ(StrToUL("99999999999999999999999", nullptr, 10), UINT32_MAX);
  EXPECT_EQ(errno, 0);  // the caller's errno is left as it was
  EXPECT_EQ(AToL(nullptr), 0);
  EXPECT_EQ(AToL(""), 0);
  EXPECT_EQ(AToL("4294967296"), INT32_MAX);
  EXPECT_EQ(AToL("0x10"), 0);  // atoi reads decimal only
}

}  // namespace
