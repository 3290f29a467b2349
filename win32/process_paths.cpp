// The paths of the process: its current folder, its program file, the
// folder for temporary files and names in it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/win32/files.h>

#include "os/clocks.h"
#include "os/environment.h"
#include "os/filesystem.h"
#include "os/folder.h"
#include "os/programs.h"

namespace {

// Windows' protocol for a path handed out: the length without the NUL when
// it fits, else the size the buffer needs with the NUL (nothing written).
DWORD HandOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr && size > 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (text.size() >= size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

bool EndsWithSeparator(const std::string& path) { return !path.empty() && (path.back() == '/' || path.back() == '\\'); }

}  // namespace

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  std::string folder;
  if (!xtb::os::CurrentFolder(folder)) {
    xtb::SetLastErrorFromErrno();
    return 0;
  }
  return HandOut(folder, buffer, bufferLength);
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
  if (pathName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  xtb::os::FileFacts facts;
  if (xtb::os::FactsOf(pathName, facts) && !facts.folder) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  return xtb::os::SetCurrentFolder(pathName);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  std::string path = xtb::os::OwnExecutable();
  if (module != nullptr && module != GetModuleHandleA(nullptr)) {
    const CString name = XTModuleName(module);
    if (name.IsEmpty()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = path.substr(0, path.rfind('/') + 1) + name.str();
  }
  if (path.empty()) {
    SetLastError(ERROR_GEN_FAILURE);
    return 0;
  }
  if (fileName == nullptr || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() < size) {
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  std::memcpy(fileName, path.data(), size - 1);
  fileName[size - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  std::string folder = "/tmp";
  for (const char* name : {"TMP", "TEMP", "TMPDIR"}) {
    if (const char* value = xtb::os::NonEmptyEnvironmentValue(name)) {
      folder = value;
      break;
    }
  }
  if (!EndsWithSeparator(folder)) folder += '/';
  return HandOut(folder, buffer, bufferLength);
}

namespace {

constexpr size_t kNameRoom = 14;  // prefix (3), four hex digits, ".TMP", NUL

std::string TempName(const std::string& prefix, unsigned number) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%X", number & 0xFFFFu);
  return prefix + digits + ".TMP";
}

UINT FailTemp(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefixString, UINT unique, LPSTR tempFileName) {
  if (pathName == nullptr || tempFileName == nullptr) return FailTemp(ERROR_INVALID_PARAMETER);
  const std::string folder = pathName;
  if (folder.size() + kNameRoom > MAX_PATH) return FailTemp(ERROR_BUFFER_OVERFLOW);
  const std::string prefix = std::string(prefixString != nullptr ? prefixString : "").substr(0, 3);
  const std::string joined = folder.empty() || EndsWithSeparator(folder) ? folder : folder + '/';
  auto handOut = [&](unsigned number) {
    const std::string path = joined + TempName(prefix, number);
    std::memcpy(tempFileName, path.c_str(), path.size() + 1);
    return number & 0xFFFFu;
  };
  if (unique != 0) return handOut(unique);
  const xtb::os::Folder where(folder.empty() ? std::string(".") : folder);
  if (!where.IsOpen()) return FailTemp(ERROR_DIRECTORY);
  // Counted on from a clock's value until a free name is found; the file is
  // this call's own (O_EXCL), a planted name or link is passed over.
  xtb::os::EntryRule rule;
  rule.access = xtb::os::EntryRule::Access::Write;
  rule.exclusive = true;
  rule.mode = 0600;
  const unsigned start = static_cast<unsigned>(xtb::os::MonotonicMilliseconds());
  for (unsigned step = 0; step < 0x10000u; ++step) {
    const unsigned number = ((start + step) & 0xFFFFu) != 0 ? (start + step) & 0xFFFFu : 1;
    int error = 0;
    xtb::os::Fd file = where.OpenEntry(TempName(prefix, number), rule, error);
    if (file.IsOpen()) return handOut(number);
    if (error != EEXIST) return FailTemp(xtb::WinErrorFromErrno(error));
  }
  return FailTemp(ERROR_FILE_EXISTS);
}
