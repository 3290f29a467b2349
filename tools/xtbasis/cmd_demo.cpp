// xtbasis demo: a short tour of the library's typical roads, printing what
// each step did. Settings go to the store below
// HKEY_LOCAL_MACHINE\SOFTWARE\Vantorix\XTDemo, the trace file to
// /tmp/xtbasis-demo/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <xtbasis/xtbasis.h>

#include "command.h"

namespace {

constexpr char kMainKey[] = "SOFTWARE\\Vantorix\\XTDemo";
constexpr char kLogDir[] = "/tmp/xtbasis-demo/";

class DemoSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return kMainKey; }
};

bool StoreTraceLevel(const char* level) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMainKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const LONG result = RegSetValueExA(key, "TraceLevel", 0, REG_SZ, reinterpret_cast<const BYTE*>(level),
                                     static_cast<DWORD>(std::char_traits<char>::length(level) + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

CString ReadTraceLevel() {
  HKEY key = nullptr;
  CString value("?");
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMainKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    GetXTParameter(key, "TraceLevel", value);
    RegCloseKey(key);
  }
  return value;
}

// The last record: its header line and its message line.
std::string LastRecord(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string line, header, message;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    header.swap(message);
    message = line;
  }
  return "  " + header + "\n  " + message;
}

int TraceRoad() {
  std::printf("== Trace log\n");
  if (!StoreTraceLevel("3")) {
    std::fprintf(stderr, "the registry store cannot be written: %s\n",
                 GetLastErrorString(nullptr, GetLastError()).GetString());
    return 1;
  }
  std::printf("stored TraceLevel=3 in HKLM\\%s, read back: %s\n", kMainKey, ReadTraceLevel().GetString());
  std::error_code ignored;  // a folder that cannot be made shows as a missing record
  std::filesystem::create_directory(kLogDir, ignored);
  DemoSysBase sysBase;
  sysBase.LogDir = kLogDir;
  gp_XTSysBase = &sysBase;
  XTTrace(XTTRACE_INFO, 4711, __FILE__, __LINE__, "Demo gestartet");
  gp_XTSysBase = nullptr;
  const std::string file = std::string(kLogDir) + "r9trace.log";
  std::printf("record in %s:\n%s\n", file.c_str(), LastRecord(file).c_str());
  return 0;
}

void TeethRoad() {
  std::printf("== Tooth list typed into a treatment form\n");
  for (const char* typed : {"13-43", "18-28,38-48", "11, 12, 21"}) {
    CTeeth teeth;
    if (!teeth.TryAddTeeth(typed)) {
      std::printf("'%s' is no tooth list\n", typed);
      continue;
    }
    CString normal;
    teeth.GetNormalizedTeeth(normal, false);
    const int spans = teeth.CntSpans();
    std::printf("'%s' -> '%s': %d front teeth, %d %s\n", typed, normal.GetString(), teeth.CntFrontTeeth(), spans,
                spans == 1 ? "span" : "spans");
  }
}

void DateRoad() {
  std::printf("== Database dates corrected\n");
  for (const char* typed : {"20270229", "19991340", "00261231", "20261206"}) {
    CString date(typed);
    const bool unchanged = CorrectDate(date);
    std::printf("'%s' -> '%s'%s\n", typed, date.GetString(), unchanged ? " (already valid)" : "");
  }
}

int Run(const xtbtool::Args& args) {
  if (!args.empty()) return xtbtool::UsageError("demo", "takes no arguments");
  const int result = TraceRoad();
  TeethRoad();
  DateRoad();
  return result;
}

const xtbtool::Registration registration({"demo", "a short tour of the library", Run});

}  // namespace
