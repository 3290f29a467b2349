#include "temp_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>

#include <xtbasis/sysbase.h>

namespace xtb::files {

CString TempDirectory() {
  CString dir;
  if (gp_XTSysBase != nullptr) dir = gp_XTSysBase->TempDir;
  if (dir.IsEmpty()) {
    const char* env = std::getenv("TMPDIR");
    dir = env != nullptr && *env != '\0' ? env : "/tmp";
  }
  const char last = dir[dir.GetLength() - 1];
  if (last != '/' && last != '\\') dir += '/';
  return dir;
}

CString CreateUniqueFile(const CString& dir, const CString& prefix) {
  constexpr unsigned kNumbers = 0x10000;
  const unsigned start = (GetTickCount() ^ (static_cast<unsigned>(getpid()) << 4)) % kNumbers;
  for (unsigned i = 0; i < kNumbers; ++i) {
    const unsigned number = (start + i) % kNumbers;
    CString path;
    path.Format("%s%.3s%04X.TMP", dir.GetString(), prefix.GetString(), number);
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return path;
    }
    if (errno != EEXIST) break;
  }
  xtb::SetLastErrorFromErrno();
  return CString();
}

}  // namespace xtb::files
