// What the crashing process hands to the crash helper through a pipe: the
// fault, the crashing thread's registers and where the files go. A plain
// block of bytes, filled in the signal handler without allocating.
#pragma once

#include <sys/types.h>
#include <sys/ucontext.h>

#include <cstdint>

namespace xtb {

constexpr uint32_t kCrashMessageMagic = 0x58544352;  // "XTCR"
constexpr size_t kCrashPathMax = 4096;

struct CrashMessage {
  uint32_t magic = kCrashMessageMagic;
  int32_t signo = 0;          // 0: a dump on demand, no fault
  int32_t signalCode = 0;     // si_code
  int32_t pid = 0;
  int32_t tid = 0;
  uint64_t faultAddress = 0;
  greg_t registers[NGREG] = {};  // the faulting thread's, as the handler got them
  int32_t withReport = 0;     // append the text report to the log file
  // Dump file: an explicit name (deleted and made anew), else the first free
  // name of the patterns (each a path followed by "%05d.DMP").
  char dumpFile[kCrashPathMax] = {};
  char dumpPattern[2][kCrashPathMax] = {};
  char logFile[2][kCrashPathMax] = {};
  char computerName[256] = {};
  // The crash reporter's settings; reportDir empty when it is not installed.
  char reportDir[kCrashPathMax] = {};
  char appName[256] = {};
  char appVersion[256] = {};
  char regKey[1024] = {};
  char logDir[kCrashPathMax] = {};
};

}  // namespace xtb
