#include "reporter_folder.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "crash_text.h"
#include "os/clocks.h"
#include "os/folder.h"
#include "os/process.h"
#include "registry_xml.h"
#include "screenshot.h"
#include "screenshot_png.h"

namespace xtb {
namespace {

// The folder of one crash, made by this call in the report folder and owned
// by this process's user: a name planted there (a link, someone else's
// folder, a file) is passed over for the next ("-1", "-2", ...). Exactly
// 0755: every account reads the report, only the crashed program's account
// may add, rename or remove in it (in the sticky report folder no other
// account may move the folder itself).
os::Folder MakeCrashFolder(const os::Folder& reports, const std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string taken = attempt == 0 ? name : name + "-" + std::to_string(attempt);
    bool made = false;
    os::Folder folder = reports.MakeSubfolder(taken, 0755, made);
    os::FileFacts facts;
    if (folder.IsOpen() && made && os::FactsOf(folder.Get(), facts) && facts.owner == os::EffectiveUserId()) {
      return folder;
    }
  }
  return os::Folder();
}

// Who may read a file of the crash folder: its texts are for the support
// staff of any account; the dump holds the crashed program's memory and
// stays its account's, as a core would. Only the owner writes either.
enum class Readers { everyone, owner };

// A file of the crash folder: always one this call creates (0644, or 0600
// for the owner alone; a stricter umask narrows them). A name put in the folder
// meanwhile is removed (the name itself, never what it points to) and the
// file made anew.
os::Fd CreateEntry(const os::Folder& folder, const std::string& name, Readers readers = Readers::everyone) {
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::Write;
  rule.mode = readers == Readers::everyone ? 0644 : 0600;
  rule.exclusive = true;
  int error = 0;
  for (int round = 0; round < 4; ++round) {
    os::Fd fd = folder.OpenEntry(name, rule, error);
    if (fd.IsOpen() || error != EEXIST) return fd;
    folder.Remove(name);
  }
  return os::Fd();
}

void WriteEntry(const os::Folder& folder, const std::string& name, const std::string& data) {
  os::Fd fd = CreateEntry(folder, name);
  if (fd.IsOpen()) os::WriteFull(fd.Get(), data.data(), data.size());
}

void CopyEntry(const os::Folder& from, const std::string& name, const os::Folder& to) {
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::Read;
  rule.create = false;
  int error = 0;
  os::Fd source = from.OpenEntry(name, rule, error);
  if (!source.IsOpen()) return;
  os::Fd target = CreateEntry(to, name);
  char buffer[65536];
  for (long got; target.IsOpen() && (got = os::ReadFull(source.Get(), buffer, sizeof buffer)) > 0;) {
    if (!os::WriteFull(target.Get(), buffer, static_cast<size_t>(got))) return;
  }
}

}  // namespace

void CollectCrashReporterFolder(const CrashMessage& message, const CoreDumpRequest& request,
                                const std::string& report) {
  std::tm parts{};
  os::UtcCalendar(os::WallClock().seconds, parts);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d-%02d%02d%02d_%d", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, message.pid);
  // The report folder was made at install; a link put in its place since
  // is not followed.
  const os::Folder reports(message.reportDir, false);
  const os::Folder folder = MakeCrashFolder(reports, std::string(message.appName) + stamp);
  if (!folder.IsOpen()) return;
  os::Fd dump = CreateEntry(folder, "crashdump.dmp", Readers::owner);
  if (dump.IsOpen()) WriteCoreDump(dump, request);
  dump.Close();
  WriteEntry(folder, "crashreport.txt", report);
  std::string properties;
  AppendReportText(properties, "AppName=%s\r\nAppVersion=%s\r\nComputerName=%s\r\n", message.appName,
                   message.appVersion, message.computerName);
  WriteEntry(folder, "properties.txt", properties);
  if (message.regKey[0] != '\0') {
    WriteEntry(folder, std::string(message.appName) + "-reg.xml", RegistryKeyAsXml(message.regKey));
  }
  if (message.logDir[0] != '\0') {
    const os::Folder logs(message.logDir);
    // The crash callback's step: the WPF work log becomes the attached log.
    os::FileFacts facts;
    if (logs.FactsOfEntry("xtwpf.lg", facts)) {
      logs.Remove("xtwpf.log");
      logs.Rename("xtwpf.lg", "xtwpf.log");
    }
    CopyEntry(logs, "xtwpf.log", folder);
    CopyEntry(logs, "r9trace.log", folder);
  }
  // Last: a display that does not answer, or breaks off (libX11 then ends
  // the helper), costs the picture and nothing else.
  ScreenPixels screen;
  if (CaptureScreen(screen)) {
    const std::string png = EncodePng(screen);
    if (!png.empty()) WriteEntry(folder, "screenshot.png", png);
  }
}

}  // namespace xtb
