// CXTStrBuf: growth (observed at the allocator) and the invariants of the
// content under every operation that changes its length.
#include <gtest/gtest.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/strbuf.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
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

// Hands out memory whose new bytes are all 0xA5, so that a terminator the
// buffer forgot to write cannot be a lucky zero.
class DirtyAllocator {
 public:
  DirtyAllocator() { m_before = xtb::strbuf::SetReallocFunction(&Reallocate); }
  ~DirtyAllocator() { xtb::strbuf::SetReallocFunction(m_before); }

 private:
  static void* Reallocate(void* block, size_t size) {
    const size_t old = block ? s_sizes[block] : 0;
    void* grown = std::realloc(block, size);
    if (grown == nullptr) return nullptr;
    s_sizes.erase(block);
    s_sizes[grown] = size;
    if (size > old) std::memset(static_cast<char*>(grown) + old, 0xA5, size - old);
    return grown;
  }
  static inline std::map<void*, size_t> s_sizes;
  xtb::strbuf::ReallocFunction m_before;
};

// The content equals the model and the byte behind it is NUL.
::testing::AssertionResult Holds(const CXTStrBuf& b, const std::string& model) {
  if (Bytes(b) != model) return ::testing::AssertionFailure() << "content '" << Bytes(b) << "', expected '" << model << "'";
  if (static_cast<const char*>(b)[b.GetLength()] != '\0')
    return ::testing::AssertionFailure() << "no NUL behind " << b.GetLength() << " bytes";
  return ::testing::AssertionSuccess();
}

TEST(StrBufInvariant, ShorteningAndDirectWritingEndWithNul) {
  DirtyAllocator dirty;
  CXTStrBuf b("ab");
  b.SetLength(5, '*');
  EXPECT_TRUE(Holds(b, "ab***"));
  b.SetLength(1, '*');
  EXPECT_TRUE(Holds(b, "a"));
  // Assigning empty content of every kind.
  b = "ab***";
  b = "";
  EXPECT_TRUE(Holds(b, ""));
  b = "ab***";
  b = CString();
  EXPECT_TRUE(Holds(b, ""));
  b = "ab***";
  b = CXTStrBuf();
  EXPECT_TRUE(Holds(b, ""));

  // A buffer filled to its capacity without a terminator of its own: the
  // length up to the first NUL stops at the capacity.
  CXTStrBuf full(nullptr, 8);
  std::memset(full.GetBuffer(8), 'x', 8);
  full.ReleaseBuffer();
  EXPECT_TRUE(Holds(full, "xxxxxxxx"));
  // A length beyond the capacity is cut to it instead of writing past the block.
  std::memset(full.GetBuffer(8), 'y', 8);
  full.ReleaseBuffer(100);
  EXPECT_TRUE(Holds(full, "yyyyyyyy"));
}

// Random sequences of every length-changing operation against a std::string.
TEST(StrBufInvariant, EveryLengthChangeKeepsContentAndTerminator) {
  DirtyAllocator dirty;
  std::mt19937 random(12);
  for (int round = 0; round < 200; ++round) {
    CXTStrBuf b(nullptr, random() % 8, random() % 64);
    std::string model;
    for (int step = 0; step < 60; ++step) {
      const unsigned n = random() % 20;
      const std::string piece(n, static_cast<char>('a' + random() % 26));
      switch (random() % 13) {
        case 0: b = piece.c_str(); model = piece; break;
        case 1: b += piece.c_str(); model += piece; break;
        case 2: b.Add(n, "\0bytes\0with\0nul\0s\0"); model.append("\0bytes\0with\0nul\0s\0", n); break;
        case 3: b.Add('#', n); model.append(n, '#'); break;
        case 4: b.Add("ab", n % 4); model += std::string("abababab").substr(0, 2 * (n % 4)); break;
        case 5: b.SetLength(n, '*'); model.resize(n, '*'); break;
        case 6: b.Truncate(n); if (n < model.size()) model.resize(n); break;
        case 7: b.Empty(); model.clear(); break;
        case 8: b += b; model += model; break;
        case 9: {
          b.TrimLeft();
          b.TrimRight();
          const auto first = model.find_first_not_of(" \t\n\v\f\r");
          model = first == std::string::npos ? "" : model.substr(first, model.find_last_not_of(" \t\n\v\f\r") - first + 1);
          break;
        }
        case 10: {
          const unsigned length = b.GetLength() + n;
          char* raw = b.GetBuffer(length);
          std::memset(raw + b.GetLength(), 'w', n);
          b.ReleaseBuffer(length);
          model.append(n, 'w');
          break;
        }
        case 11: {
          // A piece that reaches the end is taken as text, up to its first NUL.
          const size_t start = n % 3;
          b = b.Mid(static_cast<unsigned>(start), n);
          if (start >= model.size() || n == 0)
            model.clear();
          else if (start + n < model.size())
            model = model.substr(start, n);
          else
            model = model.substr(start, model.find('\0', start) - start);
          break;
        }
        case 12: {
          CXTStrBuf encoded;
          ASSERT_TRUE(b.ToBase64(encoded, n % 2 == 0));
          ASSERT_TRUE(b.FromBase64(encoded));
          break;
        }
      }
      ASSERT_TRUE(Holds(b, model)) << "round " << round << ", step " << step;
    }
  }
}

}  // namespace
