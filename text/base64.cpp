// The exported Base64 functions.
#include <xtbasis/base64.h>

#include <climits>
#include <cstdlib>

#include "base64_codec.h"

CString EncodeBase64(const unsigned char* data, int length, bool lineBreaks) {
  if (data == nullptr || length <= 0) return CString();
  const auto count = static_cast<size_t>(length);
  CString text;
  const size_t chars = xtb::base64::EncodedLength(count, lineBreaks);
  if (chars > INT_MAX) return text;  // longer than any CString can be
  xtb::base64::EncodeTo(data, count, lineBreaks, text.GetBufferSetLength(static_cast<int>(chars)));
  return text;
}

bool DecodeBase64(const char* text, int length, unsigned char** bytes, int* byteCount) {
  const size_t capacity = length > 0 ? static_cast<size_t>(length) : 0;
  // One byte more than promised, so that an empty result is a real buffer too.
  auto* out = static_cast<unsigned char*>(std::malloc(capacity + 1));
  if (bytes != nullptr) *bytes = out;
  const size_t produced = text == nullptr || out == nullptr ? 0 : xtb::base64::DecodeTo(text, capacity, out, capacity);
  if (byteCount != nullptr) *byteCount = static_cast<int>(produced);
  if (bytes == nullptr) std::free(out);
  return out != nullptr && produced <= capacity;
}
