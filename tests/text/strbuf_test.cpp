// CXTStrBuf: growth (observed at the allocator), content rules, cutting,
// fields and Base64.
#include <gtest/gtest.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/strbuf.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "strbuf_alloc.h"

namespace {

std::string Bytes(const CXTStrBuf& b) { return std::string(static_cast<const char*>(b), b.GetLength()); }

// Records every allocation size and refuses those above a threshold.
class AllocatorProbe {
 public:
  AllocatorProbe() { m_before = xtb::strbuf::SetReallocFunction(&Reallocate); }
  ~AllocatorProbe() {
    xtb::strbuf::SetReallocFunction(m_before);
    s_refuseAbove = SIZE_MAX;
    s_sizes.clear();
  }
  void RefuseAbove(size_t size) { s_refuseAbove = size; }
  const std::vector<size_t>& Sizes() const { return s_sizes; }
  // Capacity of the last successful allocation.
  size_t LastCapacity() const {
    for (auto it = s_sizes.rbegin(); it != s_sizes.rend(); ++it)
      if (*it <= s_refuseAbove) return *it - 1;
    return 0;
  }

 private:
  static void* Reallocate(void* block, size_t size) {
    s_sizes.push_back(size);
    return size > s_refuseAbove ? nullptr : std::realloc(block, size);
  }
  static inline std::vector<size_t> s_sizes;
  static inline size_t s_refuseAbove = SIZE_MAX;
  xtb::strbuf::ReallocFunction m_before;
};

TEST(StrBufGrowth, DoublesBelowTheLimitAndTakesWhatIsRequired) {
  AllocatorProbe probe;
  CXTStrBuf doubled;
  EXPECT_EQ(probe.LastCapacity(), 1023u);
  doubled.Add('x', 1024);
  EXPECT_EQ(probe.LastCapacity(), 2047u);
  EXPECT_EQ(doubled.GetLength(), 1024u);

  CXTStrBuf atOnce;
  atOnce.Add('y', 5000);
  EXPECT_EQ(probe.LastCapacity(), 5000u);
  atOnce.Empty();
  atOnce.Add('z', 5000);
  atOnce = "short";
  atOnce.Truncate(1);
  EXPECT_EQ(probe.LastCapacity(), 5000u) << "refilling must not reallocate";
}

TEST(StrBufGrowth, GrowsByOneEighthAboveTheLimit) {
  AllocatorProbe probe;
  CXTStrBuf large(nullptr, 200000, 100000);
  large.GetBuffer(200001);
  EXPECT_EQ(probe.LastCapacity(), 225001u);
  CXTStrBuf atLimit(nullptr, 100000, 100000);
  atLimit.GetBuffer(100001);
  EXPECT_EQ(probe.LastCapacity(), 200001u) << "a capacity equal to the limit still doubles";
  CXTStrBuf text("abc", 0, 0);
  EXPECT_EQ(probe.LastCapacity(), 3u);
  text += 'd';
  EXPECT_EQ(probe.LastCapacity(), 4u);
  EXPECT_EQ(Bytes(text), "abcd");
}

TEST(StrBufGrowth, HalvesTheStepAtTheDefaultLimitThenThrowsKeepingContent) {
  AllocatorProbe probe;
  CXTStrBuf buffer;
  buffer = "kept";
  const unsigned int limit = CXTStrBuf::kDefaultGrowthLimit;
  buffer.GetBuffer(limit);  // 128 MiB, never touched
  probe.RefuseAbove(size_t{limit} + 1);
  const size_t before = probe.Sizes().size();
  bool thrown = false;
  try {
    buffer.GetBuffer(limit + 1);
  } catch (CMemoryException* e) {
    thrown = true;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
  const std::vector<size_t> tries(probe.Sizes().begin() + static_cast<std::ptrdiff_t>(before), probe.Sizes().end());
  ASSERT_FALSE(tries.empty());
  EXPECT_EQ(tries.front(), 2 * size_t{limit} + 2) << "doubling at the limit itself";
  EXPECT_EQ(tries[1], size_t{limit} + limit / 2 + 1);
  EXPECT_EQ(tries.back(), size_t{limit} + 2) << "the last try asks for just the required size";
  EXPECT_EQ(tries.size(), 28u);
  EXPECT_EQ(Bytes(buffer), "kept");
  buffer += "!";  // still usable within its capacity
  EXPECT_EQ(Bytes(buffer), "kept!");
}

TEST(StrBufGrowth, RetrySucceedsWithASmallerStep) {
  AllocatorProbe probe;
  CXTStrBuf slow(nullptr, 1000, 0);
  CXTStrBuf doubling(nullptr, 1000, 4000);
  probe.RefuseAbove(1100);
  slow.Add('a', 1001);  // 1126 refused, then the step of 126 halved
  EXPECT_EQ(probe.LastCapacity(), 1063u);
  probe.RefuseAbove(1501);
  doubling.Add('b', 1001);  // 2001 refused, then 1500
  EXPECT_EQ(probe.LastCapacity(), 1500u);
  EXPECT_EQ(Bytes(doubling), std::string(1001, 'b'));
}

TEST(StrBufGrowth, FailedOperationsLeaveTheTargetUnchanged) {
  AllocatorProbe probe;
  CXTStrBuf buffer("abc", 3, 0);
  CXTStrBuf target("old", 3, 0);
  CXTStrBuf decoded("zz", 2, 0);
  const CXTStrBuf source("YWJjZGVm");
  probe.RefuseAbove(4);
  EXPECT_THROW(buffer += "defg", CMemoryException*);
  EXPECT_THROW(buffer.Add("xy", 5), CMemoryException*);
  EXPECT_THROW((void)(buffer + "more"), CMemoryException*);
  EXPECT_EQ(Bytes(buffer), "abc");
  EXPECT_FALSE(buffer.ToBase64(target, false));
  EXPECT_TRUE(target.IsEmpty());
  EXPECT_FALSE(decoded.FromBase64(source));
  EXPECT_TRUE(decoded.IsEmpty());
}

}  // namespace
