#include <memory>
#include <new>

#include <xtbasis/checksum.h>

#include "crc_tables.h"
#include "os/file.h"

namespace {

constexpr size_t kBufferSize = 1024000;

}  // namespace

CString XTCheckSum(const CString& path) {
  xtb::os::File file;
  if (!file.OpenShared(path)) return CString();
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kBufferSize]);
  if (!buffer) return CString();
  xtb::crc::Register crc;
  for (;;) {
    const long got = file.Read(buffer.get(), kBufferSize);  // fills the buffer unless at the end
    if (got < 0) return CString();
    if (got == 0) break;
    crc.Update(buffer.get(), static_cast<size_t>(got));
  }
  if (!file.Close()) return CString();
  CString result;
  result.Format("%08X", crc.Value());
  return result;
}
