// The computer, the user and the environment variables of the Windows API.
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/environment.h>
#include <xtbasis/win32/shell_folders.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "known_folders.h"
#include "os/computers.h"
#include "os/environment.h"
#include "os/process.h"

namespace {

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& ch : upper) ch = xtb::cp1252::ToUpper(ch);
  return upper;
}

// What Windows always sets and Linux names otherwise or not at all.
std::optional<std::string> WindowsVariable(const std::string& upper) {
  if (upper == "TEMP" || upper == "TMP") {
    const char* folder = xtb::os::NonEmptyEnvironmentValue("TMPDIR");
    return std::string(folder ? folder : "/tmp");
  }
  if (upper == "USERPROFILE") return xtb::win32::KnownFolder(CSIDL_PROFILE);
  if (upper == "APPDATA") return xtb::win32::KnownFolder(CSIDL_APPDATA);
  if (upper == "LOCALAPPDATA") return xtb::win32::KnownFolder(CSIDL_LOCAL_APPDATA);
  if (upper == "PROGRAMDATA" || upper == "ALLUSERSPROFILE") return xtb::win32::KnownFolder(CSIDL_COMMON_APPDATA);
  if (upper == "USERNAME") return xtb::os::UserName();
  if (upper == "COMPUTERNAME") return xtb::os::ComputerName();
  return std::nullopt;
}

std::optional<std::string> VariableValue(std::string_view name) {
  const std::string exact(name);
  if (const char* value = xtb::os::EnvironmentValue(exact.c_str())) return std::string(value);
  const std::string upper = UpperCase(name);
  if (const char* value = xtb::os::EnvironmentValue(upper.c_str())) return std::string(value);
  return WindowsVariable(upper);
}

// The Windows protocol of a text handed out: its length when it fits with
// its NUL in `size`, else the size it needs.
DWORD HandOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// What `*size` tells on success: GetComputerName gives the name's length,
// GetUserName its size with the NUL.
enum class NameSize { kLength, kWithNul };

// The name into `buffer` of `*size` bytes; when it does not fit, the size it
// needs with its NUL and `tooSmall`, each call's own error for that.
BOOL HandOutName(const std::string& name, LPSTR buffer, LPDWORD size, DWORD tooSmall, NameSize told) {
  if (!size) return Fail(ERROR_INVALID_PARAMETER);
  if (name.empty()) return Fail(ERROR_GEN_FAILURE);
  if (!buffer || name.size() + 1 > *size) {
    *size = static_cast<DWORD>(name.size() + 1);
    return Fail(tooSmall);
  }
  *size = HandOut(name, buffer, *size) + (told == NameSize::kWithNul ? 1 : 0);
  return TRUE;
}

}  // namespace

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
  return HandOutName(xtb::os::ComputerName(), buffer, size, ERROR_BUFFER_OVERFLOW, NameSize::kLength);
}

BOOL GetUserNameA(LPSTR buffer, LPDWORD size) {
  return HandOutName(xtb::os::UserName(), buffer, size, ERROR_INSUFFICIENT_BUFFER, NameSize::kWithNul);
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  if (!name || !*name) return Fail(ERROR_INVALID_PARAMETER);
  const std::optional<std::string> value = VariableValue(name);
  if (!value) return Fail(ERROR_ENVVAR_NOT_FOUND);
  SetLastError(ERROR_SUCCESS);
  return HandOut(*value, buffer, size);
}

BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value) {
  if (!name || !*name || std::strchr(name, '=')) return Fail(ERROR_INVALID_PARAMETER);
  if (!value) {
    xtb::os::RemoveEnvironmentValue(name);
    return TRUE;
  }
  return xtb::os::SetEnvironmentValue(name, value) ? TRUE : Fail(ERROR_NOT_ENOUGH_MEMORY);
}

DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size) {
  if (!source) return Fail(ERROR_INVALID_PARAMETER);
  const std::string_view text(source);
  std::string expanded;
  size_t i = 0;
  while (i < text.size()) {
    const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string_view::npos;
    if (close == std::string_view::npos) {
      expanded += text[i++];
      continue;
    }
    const std::string_view name = text.substr(i + 1, close - i - 1);
    const std::optional<std::string> value = name.empty() ? std::nullopt : VariableValue(name);
    if (value) {
      expanded += *value;
      i = close + 1;
    } else {
      // Kept as written; the closing '%' may open the next name.
      expanded += text.substr(i, close - i);
      i = close;
    }
  }
  const DWORD needed = static_cast<DWORD>(expanded.size() + 1);
  if (destination && needed <= size) std::memcpy(destination, expanded.c_str(), needed);
  return needed;
}
