// CXTSysBase::InitInstance: the user's locale and the suite's common files
// in front of PATH.
#include <clocale>
#include <string>
#include <xtbasis/sysbase.h>

#include "os/environment.h"

#ifndef XTB_COMMON_FILES_DIR
#define XTB_COMMON_FILES_DIR "/usr/local/lib/xtbasis"
#endif

namespace {

constexpr size_t kMaxFolder = MAX_PATH - 1;
constexpr size_t kMaxPathVariable = 32767;

// The common-files folder: $XTBASIS_COMMON_FILES, else the installation's.
bool CommonFilesFolder(std::string& folder) {
  const char* chosen = xtb::os::EnvironmentValue(XT_COMMON_FILES_ENV);
  folder = chosen && *chosen ? chosen : XTB_COMMON_FILES_DIR;
  return folder.size() <= kMaxFolder;
}

}  // namespace

int CXTSysBase::InitInstance() {
  std::setlocale(LC_ALL, "");
  std::string folder;
  if (!CommonFilesFolder(folder)) return 0;
  if (folder.back() != '/') folder += '/';
  folder += "XT/Dental";
  const char* path = xtb::os::EnvironmentValue("PATH");
  if (!path || !*path || std::string_view(path).size() > kMaxPathVariable) return 0;
  const std::string searchPath = folder + ':' + path;
  return xtb::os::SetEnvironmentValue("PATH", searchPath);
}
