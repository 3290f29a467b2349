#include "crash_launch.h"

#include <cstring>

#include "os/environment.h"
#include "os/file.h"
#include "os/helper_process.h"
#include "os/process.h"

#ifndef XTB_CRASH_HELPER_PATH
#define XTB_CRASH_HELPER_PATH "/usr/libexec/xtbasis/xtbasis-crashhelper"
#endif

namespace xtb {
namespace {

char g_helperPath[kCrashPathMax] = XTB_CRASH_HELPER_PATH;
// A helper that reads a large process may take a while; one that hangs must
// not keep the crashed program from ending.
constexpr int kHelperTimeoutMs = 60000;

}  // namespace

CrashMessage& ProcessCrashMessage() {
  static CrashMessage message;
  return message;
}

void CopyField(char* field, size_t size, const char* text) {
  std::strncpy(field, text != nullptr ? text : "", size - 1);
  field[size - 1] = '\0';
}

void PrepareCrashHelper() {
  const char* chosen = os::EnvironmentValue("XTBASIS_CRASH_HELPER");
  if (chosen != nullptr && *chosen != '\0') CopyField(g_helperPath, chosen);
}

bool RunCrashHelper(const CrashMessage& message) {
  int fds[2];
  if (!os::MakePipe(fds)) return false;
  os::Fd readEnd(fds[0]), writeEnd(fds[1]);
  char name[] = "xtbasis-crashhelper";
  char* argv[] = {name, nullptr};
  const pid_t helper = os::StartHelper(g_helperPath, argv, readEnd.Get());
  readEnd.Close();
  if (helper < 0) return false;
  os::AllowReadingBy(helper);
  const bool sent = os::WriteFull(writeEnd.Get(), &message, sizeof message);
  writeEnd.Close();
  return os::WaitForHelper(helper, kHelperTimeoutMs) == 0 && sent;
}

}  // namespace xtb
