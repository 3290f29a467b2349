#include <ucontext.h>
#include <xtbasis/crashreport.h>
#include <xtbasis/trace.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "context_registers.h"
#include "crash_launch.h"
#include "crash_reporter.h"
#include "crash_text.h"
#include "os/computers.h"
#include "os/file.h"
#include "os/filesystem.h"
#include "os/process.h"
#include "os/process_memory.h"
#include "os/signals.h"
#include "own_symbols.h"

namespace {

using xtb::CrashMessage;

// Runs on the crashing thread's alternate stack: no allocation, no locks;
// everything else is the helper's work.
void OnFatalSignal(int signo, siginfo_t* info, void* context) {
  static std::atomic<int> reporting{0};
  if (reporting.fetch_add(1) != 0) {
    // A fault while the report is handed on (or a second crashing thread):
    // this one ends the process without a report of its own.
    xtb::os::DieBySignal(signo);
  }
  CrashMessage& message = xtb::ProcessCrashMessage();
  message.signo = signo;
  message.signalCode = info != nullptr ? info->si_code : 0;
  message.faultAddress = info != nullptr ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
  message.tid = static_cast<int32_t>(xtb::os::ThreadId());
  const auto* user = static_cast<const ucontext_t*>(context);
  std::memcpy(message.registers, user->uc_mcontext.gregs, sizeof message.registers);
  message.withReport = 1;
  message.dumpFile[0] = '\0';
  xtb::RunCrashHelper(message);
  xtb::os::RunPreviousAction(signo, info, context);
  xtb::os::DieBySignal(signo);
}

// Frames 0 to 2 are the unwinding, this function and its caller (StackTrace
// or XTStackTrace); the three are left out.
__attribute__((noinline)) std::vector<xtb::StackFrame> CaptureCallerStack() {
  std::vector<xtb::StackFrame> frames = xtb::UnwindOwnStack(13);
  if (frames.size() <= 3) return {};
  frames.erase(frames.begin(), frames.begin() + 3);
  return frames;
}

int FormatStack(CString& text, const std::vector<xtb::StackFrame>& frames) {
  std::string out;
  if (!xtb::FormatOwnStack(frames, out)) return 0;
  text = out.c_str();
  return 1;
}

// A program's author who installs a handler for a fatal signal after the
// report learns from the trace why it never runs.
void TraceRefusedHandler(int signo, const char* name) {
  XTTrace(XTTRACE_WARN, XTTRACE_PROGID_XTBASIS, __FILE__, __LINE__,
          "handler for %s (%d) refused: the crash report keeps its own for this signal", name, signo);
}

// The log's name for `programPath`: an extension of three characters or
// more becomes "RPT"; a shorter one, or none, stays as it is.
std::string LogNameOf(const std::string& programPath) {
  const size_t slash = programPath.rfind('/');
  const size_t dot = programPath.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash) && programPath.size() - dot - 1 >= 3) {
    return programPath.substr(0, dot + 1) + "RPT";
  }
  return programPath;
}

// Whether `path` names the program file itself (by its name, or another
// name of the same file).
bool IsProgramFile(const std::string& path, const std::string& programPath) {
  if (path == programPath) return true;
  xtb::os::FileFacts log, program;
  return xtb::os::FactsOf(path.c_str(), log) && xtb::os::FactsOf(programPath.c_str(), program) &&
         log.id == program.id;
}

// The log of `programPath` in `dir` (the program's own folder when empty),
// made there; ".RPT" is appended only where the log would otherwise be the
// program file itself.
void SetLogFilePath(int index, const CString& dir, const std::string& programPath) {
  std::string path;
  if (dir.IsEmpty()) {
    path = LogNameOf(programPath);
  } else {
    xtb::os::MakeFolder(dir.GetString());
    path = dir.GetString();
    if (path.back() != '/') path += '/';
    const std::string name = LogNameOf(programPath);
    const size_t slash = name.rfind('/');
    path += slash == std::string::npos ? name : name.substr(slash + 1);
  }
  if (IsProgramFile(path, programPath)) path += ".RPT";
  CrashMessage& message = xtb::ProcessCrashMessage();
  xtb::CopyField(message.logFile[index], path.c_str());
  xtb::CopyField(message.dumpPattern[index], (path + "%05d.DMP").c_str());
}

}  // namespace

TandorExceptionReportBase::TandorExceptionReportBase() {
  xtb::ProcessCrashMessage().pid = static_cast<int32_t>(xtb::os::ProcessId());
}

int TandorExceptionReportBase::StackTrace(CString& text) { return FormatStack(text, CaptureCallerStack()); }

const char* TandorExceptionReport::LogFileName(int index) {
  return index == 0 || index == 1 ? xtb::ProcessCrashMessage().logFile[index] : "";
}

const char* TandorExceptionReport::DumpFilePattern(int index) {
  return index == 0 || index == 1 ? xtb::ProcessCrashMessage().dumpPattern[index] : "";
}

CString TandorExceptionReport::ReportPathOf(const CString& programPath) {
  std::string path = LogNameOf(programPath.GetString());
  // Beside the program, a name without a long extension is the program.
  if (path == programPath.GetString()) path += ".RPT";
  return CString(path.c_str());
}

void TandorExceptionReport::Init(const CString& logDir, const CString& fallbackLogDir) {
  const std::string program = xtb::os::ProgramOf(xtb::os::ProcessId());
  SetLogFilePath(0, logDir, program);
  SetLogFilePath(1, fallbackLogDir, program);
  xtb::InstallCrashHandlers();
}

bool xtb::InstallCrashHandlers() {
  static std::mutex once;
  static bool installed = false;
  const std::lock_guard<std::mutex> lock(once);
  if (installed) return true;
  CrashMessage& message = ProcessCrashMessage();
  message.pid = static_cast<int32_t>(os::ProcessId());
  CopyField(message.computerName, os::ComputerName().c_str());
  PrepareCrashHelper();
  os::ObserveRefusedHandlers(TraceRefusedHandler);
  installed = os::InstallFatalSignalHandlers(OnFatalSignal);
  return installed;
}

int XTStackTrace(CString& text) { return FormatStack(text, CaptureCallerStack()); }

void XTMiniDump(const char* fileName) {
  if (fileName == nullptr || *fileName == '\0') return;
  auto message = std::make_unique<CrashMessage>(xtb::ProcessCrashMessage());
  message->pid = static_cast<int32_t>(xtb::os::ProcessId());
  message->tid = static_cast<int32_t>(xtb::os::ThreadId());
  message->signo = 0;
  message->withReport = 0;
  message->reportDir[0] = '\0';
  xtb::CopyField(message->dumpFile, fileName);
  CONTEXT here{};
  RtlCaptureContext(&here);
  xtb::RegistersOf(here, message->registers);
  xtb::PrepareCrashHelper();
  xtb::RunCrashHelper(*message);
}
