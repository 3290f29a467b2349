// XTCheckSum: the CRC of a file's whole content in constant memory. The
// bytes are read through buffers small enough to stay in the processor's
// cache and starting at a page, since copying out of the page cache costs
// more than the CRC itself.
// A long file is read as two halves by two threads at once, each with its
// own buffer and positioned reads, and the halves' CRCs are combined: the
// copies then run on two processors.
#include <xtbasis/checksum.h>

#include "crc_tables.h"
#include "os/file.h"
#include "os/thread.h"

namespace {

constexpr size_t kBufferSize = 256 * 1024;
constexpr int64_t kHalvesFrom = 32 << 20;

struct Span {
  uint32_t crc = 0;
  int64_t length = 0;
  bool ok = true;
};

// The CRC of the bytes from `offset` on: `limit` of them, or up to the end
// when `limit` is negative.
Span ReadSpan(const xtb::os::File& file, int64_t offset, int64_t limit) {
  Span span;
  const xtb::os::ReadBuffer buffer = xtb::os::MakeReadBuffer(kBufferSize);
  if (!buffer) return {0, 0, false};
  xtb::crc::Register crc;
  for (;;) {
    size_t want = kBufferSize;
    if (limit >= 0 && static_cast<int64_t>(want) > limit - span.length)
      want = static_cast<size_t>(limit - span.length);
    const long got = want == 0 ? 0 : file.ReadAt(buffer.get(), want, offset + span.length);
    if (got < 0) return {0, 0, false};
    if (got == 0) break;
    crc.Update(buffer.get(), static_cast<size_t>(got));
    span.length += got;
  }
  span.crc = crc.Value();
  return span;
}

Span ReadInHalves(const xtb::os::File& file, int64_t length) {
  const int64_t half = length / 2;
  Span second;
  xtb::os::NativeThread reader;
  if (!reader.Start([&] { second = ReadSpan(file, half, -1); })) return ReadSpan(file, 0, -1);
  const Span first = ReadSpan(file, 0, half);
  reader.Join();
  if (!first.ok || !second.ok) return {0, 0, false};
  // A file cut short while read (by a writer that ignores the lock) is read
  // again in one go, so that the halves never leave a gap.
  if (first.length < half) return ReadSpan(file, 0, -1);
  return {xtb::crc::Combine(first.crc, second.crc, static_cast<uint64_t>(second.length)),
          first.length + second.length, true};
}

}  // namespace

CString XTCheckSum(const CString& path) {
  xtb::os::File file;
  if (!file.OpenShared(path)) return CString();
  const int64_t length = file.Length();
  const Span whole = length >= kHalvesFrom && xtb::os::ProcessorCount() > 1 ? ReadInHalves(file, length)
                                                                            : ReadSpan(file, 0, -1);
  if (!file.Close() || !whole.ok) return CString();
  CString result;
  result.Format("%08X", whole.crc);
  return result;
}
