// CXTStrBuf::GetNextString over arbitrary content: the position always moves
// on, every field is a piece of the content, and both field types agree.
#include <xtbasis/strbuf.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > (1u << 16)) return 0;
  // First byte: the separator; second: how many of the following bytes form a
  // separator set (0 means the single separator).
  const char separator = static_cast<char>(data[0]);
  const size_t setLength = std::min<size_t>(data[1] % 8, size - 2);
  char set[8] = {};
  std::memcpy(set, data + 2, setLength);
  const char* content = reinterpret_cast<const char*>(data + 2 + setLength);
  CXTStrBuf buffer;
  buffer.Add(static_cast<unsigned int>(size - 2 - setLength), content);

  unsigned int posA = 0;
  unsigned int posB = 0;
  CXTStrBuf fieldA;
  CString fieldB;
  for (;;) {
    const unsigned int before = posA;
    const bool moreA = setLength ? buffer.GetNextString(posA, set, fieldA) : buffer.GetNextString(posA, separator, fieldA);
    const bool moreB = setLength ? buffer.GetNextString(posB, set, fieldB) : buffer.GetNextString(posB, separator, fieldB);
    if (moreA != moreB || posA != posB) std::abort();
    if (!moreA) break;
    if (posA <= before || posA > buffer.GetLength() + 1) std::abort();
    if (fieldA.GetLength() != static_cast<unsigned int>(fieldB.GetLength()) ||
        std::memcmp(static_cast<const char*>(fieldA), content + before, fieldA.GetLength()) != 0)
      std::abort();
  }
  return 0;
}
