// xtbasis demo: a short tour of the library's typical roads, printing what
// each step did (mail goes through the mail folder of this machine). Settings go to the store below
// HKEY_LOCAL_MACHINE\SOFTWARE\Vantorix\XTDemo, the trace file to
// /tmp/xtbasis-demo/.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
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
  mkdir(kLogDir, 0777);
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

// A second program (this tool, started again) sends; this one receives.
int MailRoad() {
  std::printf("== Mail from one program to another\n");
  CXTMailslotServer receiver;
  if (!receiver.Create("XTDemo", "Empfang")) {
    std::printf("the endpoint XTDemo cannot be had: %s\n", GetLastErrorString(nullptr, GetLastError()).GetString());
    return 1;
  }
  std::error_code error;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
  const std::string command = "'" + self + "' mail send . XTDemo Empfang USER 'Patient 4711 ist im Wartezimmer'";
  std::printf("another program: xtbasis mail send . XTDemo Empfang USER '...'\n");
  if (error || std::system(command.c_str()) != 0) {
    std::printf("the sending program failed\n");
    return 1;
  }
  CString sender, text;
  MAILTYPES type = MAILTYPE_NONE;
  if (!receiver.Read(sender, type, text)) {
    std::printf("the mail could not be read\n");
    return 1;
  }
  std::printf("received from %s, type %d (USER): %s\n", sender.GetString(), static_cast<int>(type), text.GetString());
  return 0;
}

int Run(const xtbtool::Args& args) {
  if (!args.empty()) return xtbtool::UsageError("demo", "takes no arguments");
  int result = TraceRoad();
  TeethRoad();
  if (MailRoad() != 0) result = 1;
  DateRoad();
  return result;
}

const xtbtool::Registration registration({"demo", "a short tour of the library", Run});

}  // namespace
