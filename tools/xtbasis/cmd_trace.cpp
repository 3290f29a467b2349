// xtbasis trace MAINKEY LOGDIR LEVEL PROGID MESSAGE: one record through
// XTTrace with the trace settings of HKEY_LOCAL_MACHINE\MAINKEY, into
// LOGDIR/r9trace.log. Exit 0 when the record is in the file, 1 when the
// settings filtered it out or the file could not be written (or was
// refused: a link or a second name planted in its place).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "command.h"

namespace {

class ToolSysBase : public CXTSysBase {
 public:
  explicit ToolSysBase(std::string mainKey) : m_mainKey(std::move(mainKey)) {}
  CString MainRegKey() override { return CString(m_mainKey); }

 private:
  std::string m_mainKey;
};

bool ParseInt(const std::string& text, int& value) {
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || number < INT32_MIN || number > INT32_MAX) return false;
  value = static_cast<int>(number);
  return true;
}

// The size of the regular file `path` itself (a link is not followed), 0
// when there is none.
unsigned long long FileSize(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return 0;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

// Above this size the file is rotated before the record: the record then
// starts a new file.
constexpr unsigned long long kRotateAbove = 1400000;

int Run(const xtbtool::Args& args) {
  int level = 0, progId = 0;
  if (args.size() != 5) return xtbtool::UsageError("trace", "needs MAINKEY, LOGDIR, LEVEL, PROGID and MESSAGE");
  if (!ParseInt(args[2], level) || !ParseInt(args[3], progId))
    return xtbtool::UsageError("trace", "LEVEL and PROGID must be whole numbers");
  std::string logDir = args[1];
  if (logDir.empty() || logDir.back() != '/') logDir += '/';
  const std::string file = logDir + "r9trace.log";

  ToolSysBase sysBase(args[0]);
  sysBase.LogDir = CString(logDir);
  gp_XTSysBase = &sysBase;
  const unsigned long long before = FileSize(file);
  XTTrace(level, progId, "xtbasis trace", 0, "%s", args[4].c_str());
  gp_XTSysBase = nullptr;
  const unsigned long long after = FileSize(file);
  // Grown, or rotated and started afresh with the record.
  const bool written = after > before || (before > kRotateAbove && after > 0);
  if (!written) {
    std::fprintf(stderr, "xtbasis trace: no record written to %s (filtered out, or the file is not writable)\n",
                 file.c_str());
    return 1;
  }
  std::printf("record written to %s\n", file.c_str());
  return 0;
}

const xtbtool::Registration registration(
    {"trace", "write one trace record",
     "xtbasis trace MAINKEY LOGDIR LEVEL PROGID MESSAGE\n"
     "       (the settings of HKEY_LOCAL_MACHINE\\MAINKEY filter it; the record goes to LOGDIR/r9trace.log)",
     Run});

}  // namespace
