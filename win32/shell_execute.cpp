// ShellExecuteA and ShellExecuteExA: a program run, a document, folder or
// URL handed to the desktop's handler (xdg-open).
#include <strings.h>

#include <cctype>
#include <string>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/processes.h>

#include "child_process.h"
#include "command_line_words.h"
#include "os/child_processes.h"
#include "os/filesystem.h"
#include "os/programs.h"
#include "os/systempath.h"
#include "program_search.h"

namespace {

struct Request {
  std::string verb;
  std::string file;
  std::string parameters;
  std::string folder;
};

bool IsVerb(const std::string& verb, const char* name) { return strcasecmp(verb.c_str(), name) == 0; }

// "scheme:..." with a scheme of two characters or more ("C:\\" is a path).
bool IsUrl(const std::string& file) {
  const size_t colon = file.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(file[0]))) return false;
  for (size_t i = 1; i < colon; ++i) {
    const unsigned char ch = static_cast<unsigned char>(file[i]);
    if (!std::isalnum(ch) && ch != '+' && ch != '-' && ch != '.') return false;
  }
  return true;
}

// Hands `target` to xdg-open; false with ERROR_NO_ASSOCIATION without it.
bool OpenWithHandler(const std::string& target, const std::string& folder, DWORD& id, HANDLE* process) {
  const std::string handler = xtb::os::FindOnPath("xdg-open");
  if (handler.empty()) {
    SetLastError(ERROR_NO_ASSOCIATION);
    return false;
  }
  xtb::os::ChildLaunch launch;
  launch.program = handler;
  launch.arguments = {"xdg-open", target};
  launch.folder = folder;
  return xtb::win32::StartChildProcess(launch, id, process, nullptr);
}

bool RunProgram(const std::string& path, const Request& request, DWORD& id, HANDLE* process) {
  xtb::os::ChildLaunch launch;
  launch.program = path;
  launch.arguments.push_back(request.file);
  for (std::string& argument : xtb::win32::ArgumentWordsOf(request.parameters))
    launch.arguments.push_back(std::move(argument));
  launch.folder = request.folder;
  return xtb::win32::StartChildProcess(launch, id, process, nullptr);
}

// Carries out `request`; false with the Windows last error.
bool Execute(const Request& request, HANDLE* process) {
  const bool open = request.verb.empty() || IsVerb(request.verb, "open");
  const bool explore = IsVerb(request.verb, "explore");
  DWORD id = 0;
  if (request.file.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  if (!request.folder.empty() && !xtb::os::IsFolder(request.folder))
    return xtb::os::FailedOn(xtb::os::SystemPath(request.folder));
  if ((open || explore) && IsUrl(request.file)) return OpenWithHandler(request.file, request.folder, id, process);
  std::string path = xtb::os::SystemPath(request.file);
  if (path[0] != '/' && !request.folder.empty()) {
    const std::string folder = xtb::os::SystemPath(request.folder);
    path = folder.back() == '/' ? folder + path : folder + "/" + path;
  }
  path = xtb::win32::AbsolutePath(path);
  const bool exists = xtb::os::MayAccess(path.c_str(), false);
  if (exists && (open || explore) && xtb::os::IsFolder(path)) return OpenWithHandler(path, request.folder, id, process);
  if (!open) {
    if (!exists) return xtb::os::FailedOn(path);
    SetLastError(ERROR_NO_ASSOCIATION);
    return false;
  }
  if (exists && !xtb::os::IsRegularFile(path, true)) return OpenWithHandler(path, request.folder, id, process);
  // A program: the file itself ("name.exe" as "name"), or a bare name on
  // the search path.
  const bool bare = request.file.find_first_of("/\\") == std::string::npos;
  std::string program;
  if (!xtb::win32::FindProgram(path, false, program) &&
      !(bare && !exists && xtb::win32::FindProgram(request.file, true, program)))
    return false;
  return RunProgram(program, request, id, process);
}

// ShellExecute's result for the last error of a failure.
INT_PTR ResultOfError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
    case ERROR_PATH_NOT_FOUND: return SE_ERR_PNF;
    case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
    case ERROR_BAD_EXE_FORMAT: return ERROR_BAD_FORMAT;
    case ERROR_NOT_ENOUGH_MEMORY: return SE_ERR_OOM;
    case ERROR_NO_ASSOCIATION: return SE_ERR_NOASSOC;
    default: return 0;
  }
}

constexpr INT_PTR kSuccess = 42;

HINSTANCE AsInstance(INT_PTR result) { return reinterpret_cast<HINSTANCE>(result); }

std::string TextOf(LPCSTR text) { return text != nullptr ? text : ""; }

}  // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT) {
  const Request request{TextOf(verb), TextOf(file), TextOf(parameters), TextOf(directory)};
  return AsInstance(Execute(request, nullptr) ? kSuccess : ResultOfError(GetLastError()));
}

BOOL ShellExecuteExA(LPSHELLEXECUTEINFOA info) {
  if (info == nullptr || info->cbSize != sizeof(SHELLEXECUTEINFOA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Request request{TextOf(info->lpVerb), TextOf(info->lpFile), TextOf(info->lpParameters),
                        TextOf(info->lpDirectory)};
  HANDLE process = nullptr;
  const bool keep = (info->fMask & SEE_MASK_NOCLOSEPROCESS) != 0;
  info->hProcess = nullptr;
  if (!Execute(request, keep ? &process : nullptr)) {
    info->hInstApp = AsInstance(ResultOfError(GetLastError()));
    return FALSE;
  }
  info->hInstApp = AsInstance(kSuccess);
  info->hProcess = process;
  return TRUE;
}
