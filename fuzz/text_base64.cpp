// DecodeBase64 on arbitrary bytes: the count stays within the buffer, and the
// decoded bytes survive another encode/decode round.
#include <xtbasis/base64.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const auto length = static_cast<int>(size);
  unsigned char* bytes = nullptr;
  int count = -1;
  if (!DecodeBase64(reinterpret_cast<const char*>(data), length, &bytes, &count) || count < 0 || count > length)
    std::abort();
  const CString text = EncodeBase64(bytes, count, (size & 1) != 0);
  unsigned char* again = nullptr;
  int againCount = -1;
  if (!DecodeBase64(text.GetString(), text.GetLength(), &again, &againCount) || againCount != count ||
      (count > 0 && std::memcmp(bytes, again, static_cast<size_t>(count)) != 0))
    std::abort();
  std::free(bytes);
  std::free(again);
  return 0;
}
