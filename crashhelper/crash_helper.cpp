#include "crash_helper.h"

#include <cstdio>
#include <cstring>

#include "coredump.h"
#include "crash_text.h"
#include "os/file.h"
#include "os/folder.h"
#include "os/process_memory.h"
#include "os/stopped_threads.h"
#include "os/thread.h"
#include "reporter_folder.h"
#include "stackwalk.h"

namespace xtb {
namespace {

constexpr const char kDumpSuffix[] = "%05d.DMP";

bool ReadMessage(int inputFd, CrashMessage& message) {
  static char bytes[sizeof(CrashMessage)];
  const long got = os::ReadFull(inputFd, bytes, sizeof bytes);
  return got > 0 && DecodeCrashMessage(bytes, static_cast<size_t>(got), message);
}

// A dump is always a file of the helper's own: made with O_EXCL, never a
// name found in the folder (a link or a second name planted there). It holds
// the crashed program's memory, secrets included, so like a core the kernel
// writes it is for its account alone (0600).
os::EntryRule OwnDumpRule() {
  os::EntryRule rule;
  rule.access = os::EntryRule::Access::Write;
  rule.exclusive = true;
  rule.mode = 0600;
  return rule;
}

// The first free name of a dump pattern ("<log>%05d.DMP"), created. A taken
// name, whatever it is, passes to the next number.
os::Fd CreateNumberedDump(const char* pattern, std::string& path) {
  std::string base = pattern;
  if (base.size() <= sizeof kDumpSuffix - 1 || base.compare(base.size() - (sizeof kDumpSuffix - 1), std::string::npos,
                                                             kDumpSuffix) != 0) {
    return os::Fd();
  }
  base.resize(base.size() - (sizeof kDumpSuffix - 1));
  std::string folderPath, stem;
  os::SplitFolderAndName(base, folderPath, stem);
  const os::Folder folder(folderPath);
  if (!folder.IsOpen()) return os::Fd();
  for (int n = 0; n <= 99999; ++n) {
    char number[16];
    std::snprintf(number, sizeof number, "%05d.DMP", n);
    const std::string name = stem + number;
    int error = 0;
    os::Fd fd = folder.OpenEntry(name, OwnDumpRule(), error);
    if (fd.IsOpen()) {
      path = folderPath + "/" + name;
      return fd;
    }
    if (error != EEXIST) return os::Fd();
  }
  return os::Fd();
}

// A named dump file: the name is removed first (a link itself, not what it
// points to), then made anew.
os::Fd CreateNamedDump(const char* fileName) {
  std::string folderPath, name;
  os::SplitFolderAndName(fileName, folderPath, name);
  const os::Folder folder(folderPath);
  if (!folder.IsOpen()) return os::Fd();
  folder.Remove(name);
  int error = 0;
  return folder.OpenEntry(name, OwnDumpRule(), error);
}

bool AppendToLog(const char* logFile, const std::string& text) {
  if (*logFile == '\0') return false;
  std::string folderPath, name;
  os::SplitFolderAndName(logFile, folderPath, name);
  const os::Folder folder(folderPath);
  int error = 0;
  os::Fd fd = folder.OpenEntry(name, os::EntryRule(), error);
  return fd.IsOpen() && os::WriteFull(fd.Get(), text.data(), text.size());
}

}  // namespace

bool DecodeCrashMessage(const void* bytes, size_t size, CrashMessage& message) {
  if (size != sizeof message) return false;
  std::memcpy(&message, bytes, sizeof message);
  if (message.magic != kCrashMessageMagic || message.pid <= 0 || message.tid <= 0) return false;
  // Every text field ends within its field, whatever arrived.
  message.dumpFile[sizeof message.dumpFile - 1] = '\0';
  for (int i = 0; i < 2; ++i) {
    message.dumpPattern[i][kCrashPathMax - 1] = '\0';
    message.logFile[i][kCrashPathMax - 1] = '\0';
  }
  message.computerName[sizeof message.computerName - 1] = '\0';
  message.reportDir[sizeof message.reportDir - 1] = '\0';
  message.appName[sizeof message.appName - 1] = '\0';
  message.appVersion[sizeof message.appVersion - 1] = '\0';
  message.regKey[sizeof message.regKey - 1] = '\0';
  message.logDir[sizeof message.logDir - 1] = '\0';
  return true;
}

std::string ComposeCrashReport(const CrashMessage& message) {
  std::string text;
  AppendReportHeader(text, message.computerName);
  Symbolizer symbols(message.pid);
  const os::ProcessMemory memory(message.pid);
  const MemoryReader reader = [&memory](uint64_t address, void* buffer, size_t size) {
    return memory.Read(address, buffer, size);
  };
  const uint64_t pc = static_cast<uint64_t>(message.registers[REG_RIP]);
  const uint32_t code = ExceptionCodeOf(message.signo, message.signalCode, message.faultAddress,
                                        static_cast<uint64_t>(message.registers[REG_RSP]));
  StackFrame place;
  place.address = pc;
  symbols.Describe(place, false);
  AppendFaultAndRegisters(text, code, ExceptionName(code, message.signo), pc, place, message.registers);
  if (!symbols.IsReady()) return text;
  const std::vector<StackFrame> frames = WalkThread(symbols, message.tid, message.registers, reader, true, 256);
  AppendStackBlock(text, frames, false);
  AppendReportText(text, "========================\r\n");
  AppendReportText(text, "Local Variables And Parameters\r\n");
  AppendStackBlock(text, frames, true);
  AppendReportText(text, "\r\n");
  return text;
}

int RunCrashHelperMain(int inputFd) {
  static CrashMessage message;
  if (!ReadMessage(inputFd, message)) return 1;
  std::string dumpPath;
  os::Fd dump;
  if (message.dumpFile[0] != '\0') {
    dump = CreateNamedDump(message.dumpFile);
    dumpPath = message.dumpFile;
  } else {
    for (int i = 0; i < 2 && !dump.IsOpen(); ++i) dump = CreateNumberedDump(message.dumpPattern[i], dumpPath);
  }
  // The other threads stand still while the program is copied, and the
  // dumps show each where it stood.
  const os::StoppedThreads others(message.pid, message.tid);
  CoreDumpRequest request{message.pid, message.tid, message.signo, message.signalCode,
                          message.faultAddress, message.registers, others.Threads()};
  // The report's walk and the dump read the process each on their own, so
  // they run at once: the crashed program waits for the longer, not for both.
  std::string report;
  os::NativeThread composer;
  const bool composing = message.withReport != 0 && composer.Start([&report] { report = ComposeCrashReport(message); });
  bool written = dump.IsOpen() && WriteCoreDump(dump, request);
  written = dump.Close() && written;
  if (message.withReport != 0) {
    if (composing) {
      composer.Join();
    } else {
      report = ComposeCrashReport(message);
    }
    if (!AppendToLog(message.logFile[0], report)) AppendToLog(message.logFile[1], report);
  }
  if (message.reportDir[0] != '\0' && message.signo != 0) {
    CollectCrashReporterFolder(message, request, report);
  }
  return written ? 0 : 1;
}

}  // namespace xtb
