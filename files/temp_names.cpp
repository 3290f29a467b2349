#include "temp_names.h"

#include <cerrno>
#include <string>

#include <xtbasis/platform/clock.h>

#include <xtbasis/sysbase.h>

#include "os/environment.h"
#include "os/filesystem.h"
#include "os/process.h"
#include "os/systempath.h"

namespace xtb::files {

CString TempDirectory() {
  CString dir;
  if (gp_XTSysBase != nullptr) dir = gp_XTSysBase->TempDir;
  if (dir.IsEmpty()) {
    const char* env = xtb::os::EnvironmentValue("TMPDIR");
    dir = env != nullptr && *env != '\0' ? env : "/tmp";
  }
  // In the system's form: the names made from it are handed to programs,
  // which may open them with their own runtime calls.
  std::string path = xtb::os::SystemPath(dir.view());
  if (path.back() != '/') path += '/';
  return CString(std::move(path));
}

CString CreateUniqueFile(const CString& dir, const CString& prefix) {
  constexpr unsigned kNumbers = 0x10000;
  const unsigned start = (GetTickCount() ^ (xtb::os::ProcessId() << 4)) % kNumbers;
  for (unsigned i = 0; i < kNumbers; ++i) {
    const unsigned number = (start + i) % kNumbers;
    CString path;
    path.Format("%s%.3s%04X.TMP", dir.GetString(), prefix.GetString(), number);
    if (xtb::os::CreateNewFile(path)) return path;
    if (errno != EEXIST) break;  // CreateNewFile set the last error
  }
  return CString();
}

}  // namespace xtb::files
