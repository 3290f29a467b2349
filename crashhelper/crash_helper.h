// The crash helper's work, run in a process of its own: it reads the
// message of the crashed (or dumping) process from `inputFd` and writes the
// dump, the text report and the crash reporter's folder.
//
// A fresh process, so a broken heap or stack of the crashed program does not
// touch it; what it reads from outside is checked before use (the message
// here, the mappings by os::ParseMappings; fuzz/crashhelper_message.cpp and
// fuzz/platform_procmaps.cpp hold both to that and to their round trips).
// The program is read through /proc/PID/mem. The text report's stack walk,
// symbols, source lines, parameters and locals come from libdwfl
// (stackwalk.h), with the registers from the message.
#pragma once

#include <cstddef>
#include <string>

#include "crash_message.h"

namespace xtb {

// 0 when the message was read and the dump written, else 1.
int RunCrashHelperMain(int inputFd);

// The message as it came through the pipe: false unless it has the
// message's size, its magic number and a process and thread id; every text
// field of an accepted one ends within the field.
bool DecodeCrashMessage(const void* bytes, size_t size, CrashMessage& message);

// The text report of the crash `message` describes, read from the crashed
// process.
std::string ComposeCrashReport(const CrashMessage& message);

}  // namespace xtb
