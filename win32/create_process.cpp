// CreateProcessA: the program and its arguments from the application name
// and the command line, the child's environment, folder and streams.
#include <cstring>
#include <string>
#include <vector>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/processes.h>

#include "child_process.h"
#include "command_line_words.h"
#include "file_object.h"
#include "program_search.h"

namespace {

constexpr DWORD kOwnSessionFlags = DETACHED_PROCESS | CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP;
constexpr DWORD kIgnoredFlags = CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | NORMAL_PRIORITY_CLASS |
                                IDLE_PRIORITY_CLASS | HIGH_PRIORITY_CLASS | BELOW_NORMAL_PRIORITY_CLASS |
                                ABOVE_NORMAL_PRIORITY_CLASS;

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The entries of an environment block, up to the empty text that ends it.
// Entries that begin with '=' (Windows' per-drive folders) are left out.
std::vector<std::string> EntriesOf(const char* block) {
  std::vector<std::string> entries;
  for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
    if (*entry != '=') entries.emplace_back(entry);
  }
  return entries;
}

// The program of a command line without an application name: the first
// word, or for an unquoted line with blanks each longer run up to a blank
// until one names a program. `rest` is where the arguments begin.
bool ProgramOfLine(const std::string& line, std::string& word, size_t& rest, std::string& path) {
  word = xtb::win32::ProgramWordOf(line, rest);
  if (xtb::win32::FindProgram(word, true, path)) return true;
  const DWORD firstError = GetLastError();
  const size_t start = line.find_first_not_of(" \t");
  if (start != std::string::npos && line[start] != '"') {
    for (size_t blank = line.find_first_of(" \t", rest + 1); ; blank = line.find_first_of(" \t", blank + 1)) {
      const size_t end = blank == std::string::npos ? line.find_last_not_of(" \t") + 1 : blank;
      if (end <= rest) break;
      const std::string longer = line.substr(start, end - start);
      if (xtb::win32::FindProgram(longer, true, path)) {
        word = longer;
        rest = end;
        return true;
      }
      if (blank == std::string::npos) break;
    }
  }
  SetLastError(firstError);
  return false;
}

// The child's standard streams from the startup information.
bool SetStreams(const STARTUPINFOA& startup, xtb::os::ChildLaunch& launch) {
  if ((startup.dwFlags & STARTF_USESTDHANDLES) == 0) return true;
  const HANDLE given[3] = {startup.hStdInput, startup.hStdOutput, startup.hStdError};
  launch.nullStreams = true;
  for (int i = 0; i < 3; ++i) {
    if (given[i] == nullptr || given[i] == INVALID_HANDLE_VALUE) continue;
    std::shared_ptr<xtb::win32::FileObject> file = xtb::win32::FileOf(given[i]);
    if (file == nullptr) return false;
    launch.standardStreams[i] = file->Get();
  }
  return true;
}

}  // namespace

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation) {
  if (startupInfo == nullptr || processInformation == nullptr || (applicationName == nullptr && commandLine == nullptr))
    return Refuse(ERROR_INVALID_PARAMETER);
  if ((creationFlags & CREATE_SUSPENDED) != 0) return Refuse(ERROR_NOT_SUPPORTED);
  if ((creationFlags & ~(kOwnSessionFlags | kIgnoredFlags)) != 0) return Refuse(ERROR_INVALID_PARAMETER);

  xtb::os::ChildLaunch launch;
  const std::string line = commandLine != nullptr ? commandLine : "";
  std::string word;
  size_t rest = 0;
  if (applicationName != nullptr) {
    if (!xtb::win32::FindProgram(applicationName, false, launch.program)) return FALSE;
    word = commandLine != nullptr ? xtb::win32::ProgramWordOf(line, rest) : std::string(applicationName);
    if (word.empty() && rest >= line.size()) word = applicationName;
  } else if (!ProgramOfLine(line, word, rest, launch.program)) {
    return FALSE;
  }
  launch.arguments.push_back(word);
  for (std::string& argument : xtb::win32::ArgumentWordsOf(std::string_view(line).substr(rest)))
    launch.arguments.push_back(std::move(argument));

  std::vector<std::string> entries;
  if (environment != nullptr) {
    entries = EntriesOf(static_cast<const char*>(environment));
    launch.environment = &entries;
  }
  if (currentDirectory != nullptr) {
    if (!xtb::os::IsFolder(currentDirectory)) return Refuse(ERROR_DIRECTORY);
    launch.folder = currentDirectory;
  }
  launch.ownSession = (creationFlags & kOwnSessionFlags) != 0;
  if (!SetStreams(*startupInfo, launch)) return FALSE;

  DWORD id = 0;
  PROCESS_INFORMATION started{};
  if (!xtb::win32::StartChildProcess(launch, id, &started.hProcess, &started.hThread)) return FALSE;
  started.dwProcessId = id;
  started.dwThreadId = id;
  *processInformation = started;
  return TRUE;
}
