// xtbasis demo: a short tour of the library's typical roads, printing what
// each step did (mail goes through the mail folder of this machine). It runs
// as any user: its settings go to the user's hive
// (HKEY_CURRENT_USER\SOFTWARE\Vantorix\XTDemo), its trace file to the user's
// state folder ($XDG_STATE_HOME/xtbasis/demo/, ~/.local/state by default).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <xtbasis/xtbasis.h>

#include "command.h"

namespace {

constexpr char kMainKey[] = "SOFTWARE\\Vantorix\\XTDemo";

class DemoSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return kMainKey; }
};

// Prints why a step failed and returns the exit code of a failed demo.
int Failed(const std::string& what, const std::string& cause) {
  std::fprintf(stderr, "xtbasis demo: %s: %s\n", what.c_str(), cause.c_str());
  return 1;
}

std::string ErrorText(LONG code) { return xtbtool::ErrorLine(static_cast<unsigned long>(code)); }

// Stores the level as the demo's setting and reads it back; the registry
// calls return their error number.
LONG StoreTraceLevel(const char* level, CString& readBack) {
  HKEY key = nullptr;
  LONG result =
      RegCreateKeyExA(HKEY_CURRENT_USER, kMainKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  result = RegSetValueExA(key, "TraceLevel", 0, REG_SZ, reinterpret_cast<const BYTE*>(level),
                          static_cast<DWORD>(std::strlen(level) + 1));
  if (result == ERROR_SUCCESS && !GetXTParameter(key, "TraceLevel", readBack)) result = ERROR_FILE_NOT_FOUND;
  RegCloseKey(key);
  return result;
}

// The folder for the demo's trace file, ending with '/'; empty when the
// environment names none.
std::string LogFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  std::filesystem::path base;
  if (state != nullptr && *state == '/')
    base = state;
  else if (home != nullptr && *home == '/')
    base = std::filesystem::path(home) / ".local" / "state";
  else
    return "";
  return (base / "xtbasis" / "demo").string() + "/";
}

uintmax_t SizeOf(const std::string& path) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
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
  CString level;
  if (const LONG result = StoreTraceLevel("3", level); result != ERROR_SUCCESS)
    return Failed("the setting cannot be stored in " + xtb::RegistryHivePath(HKEY_CURRENT_USER), ErrorText(result));
  std::printf("stored TraceLevel=3 in HKCU\\%s, read back: %s\n", kMainKey, level.GetString());

  const std::string folder = LogFolder();
  if (folder.empty()) return Failed("no folder for the trace file", "neither XDG_STATE_HOME nor HOME is set");
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return Failed("the folder " + folder + " cannot be created", error.message());

  DemoSysBase sysBase;
  sysBase.LogDir = folder.c_str();
  gp_XTSysBase = &sysBase;
  // Programs take their trace settings from the machine hive, which only an
  // administrator writes; the demo hands its own setting over directly,
  // once the system base the settings belong to is in place.
  SetXTTraceLevel(std::atoi(level));
  const std::string file = folder + "r9trace.log";
  const uintmax_t before = SizeOf(file);
  XTTrace(XTTRACE_INFO, 4711, __FILE__, __LINE__, "Demo gestartet");
  gp_XTSysBase = nullptr;
  if (SizeOf(file) <= before) {
    // The trace log stays silent about its own failures; ask the file.
    std::FILE* probe = std::fopen(file.c_str(), "ab");
    if (probe == nullptr) return Failed("no record in " + file, std::strerror(errno));
    std::fclose(probe);
    return Failed("no record in " + file, "another writer held the file at that moment");
  }
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
    std::printf("the endpoint XTDemo cannot be had: %s\n", xtbtool::ErrorLine(GetLastError()).c_str());
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

const xtbtool::Registration registration({"demo", "a short tour of the library", "xtbasis demo", Run});

}  // namespace
