// The INI calls on files: where a name lies, reading it whole, and writing
// it whole through a new file renamed in; the text itself is profile_text's.
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/profile_files.h>

#include "os/environment.h"
#include "os/file.h"
#include "os/folder.h"
#include "os/process.h"
#include "profile_text.h"

namespace {

// How long a writer waits for another (of this program or another one)
// that is writing a file of the same folder.
constexpr uint64_t kWriterWaitMs = 10000;

std::string ConfigurationFolder() {
  const char* configured = xtb::os::NonEmptyEnvironmentValue("XDG_CONFIG_HOME");
  if (configured != nullptr && configured[0] == '/') return configured;
  return xtb::os::AccountHomeFolder() + "/.config";
}

bool HasFolder(std::string_view fileName) { return fileName.find_first_of("/\\") != std::string_view::npos; }

std::string ProfilePath(LPCSTR fileName) {
  return HasFolder(fileName) ? std::string(fileName) : ConfigurationFolder() + "/" + fileName;
}

// The file's text; empty, with ERROR_FILE_NOT_FOUND, when there is none.
std::string ProfileTextOf(LPCSTR fileName) {
  std::string text;
  if (fileName == nullptr || !xtb::os::ReadWholeFile(ProfilePath(fileName).c_str(), text)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    text.clear();
  }
  return text;
}

DWORD CopyString(std::string_view value, LPSTR out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  const size_t count = value.size() < size ? value.size() : size - 1;
  std::memcpy(out, value.data(), count);
  out[count] = '\0';
  return static_cast<DWORD>(count);
}

DWORD CopyList(const std::vector<std::string>& names, LPSTR out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  std::string list;
  for (const std::string& name : names) list.append(name).push_back('\0');
  if (list.size() < size) {
    std::memcpy(out, list.data(), list.size());
    out[list.size()] = '\0';
    if (list.empty() && size >= 2) out[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    out[0] = '\0';
    return 0;
  }
  std::memcpy(out, list.data(), size - 2);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Reads the file, lets `edit` make the new text and writes it in whole,
// one writer of the folder at a time.
BOOL EditProfile(LPCSTR fileName, const std::function<std::string(std::string_view)>& edit) {
  if (fileName == nullptr || *fileName == '\0') return Fail(ERROR_INVALID_PARAMETER);
  std::string folderPath, name;
  xtb::os::SplitFolderAndName(ProfilePath(fileName), folderPath, name);
  const xtb::os::Folder folder = HasFolder(fileName) ? xtb::os::Folder(folderPath)
                                                     : xtb::os::Folder::Make(folderPath, 0700, 0700, true);
  if (!folder.IsOpen()) return Fail(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
  if (!folder.Lock(true, kWriterWaitMs)) return Fail(ERROR_SHARING_VIOLATION);
  xtb::os::FileFacts facts;
  unsigned mode = xtb::os::kModeLessUmask;
  std::vector<uint8_t> bytes;
  if (folder.FactsOfEntry(name, facts)) {
    // Windows keeps a read-only file as it is; renaming over it would not.
    if (facts.folder || (!facts.symbolicLink && (facts.mode & 0222) == 0)) return Fail(ERROR_ACCESS_DENIED);
    if (!facts.symbolicLink) mode = facts.mode;
    std::string old;
    if (!xtb::os::ReadWholeFile((folderPath + "/" + name).c_str(), old) && errno != ENOENT) {
      xtb::SetLastErrorFromErrno();
      return FALSE;
    }
    bytes.assign(old.begin(), old.end());
  }
  const std::string_view oldText(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string newText = edit(oldText);
  if (newText == oldText) return TRUE;
  if (!folder.ReplaceEntry(name, newText.data(), newText.size(), mode)) {
    xtb::SetLastErrorFromErrno();
    return FALSE;
  }
  return TRUE;
}

// Names and values that would read back as other lines or other names
// (a line break, a ']' in a section, a '=' in a key, a key read as a
// comment or a section) are refused: the file keeps the shape it had.
bool Writable(LPCSTR appName, LPCSTR keyName, LPCSTR string) {
  const std::string_view section(appName);
  if (section.find_first_of("\r\n]") != std::string_view::npos) return false;
  if (keyName != nullptr) {
    const std::string_view key(keyName);
    const size_t first = key.find_first_not_of(" \t");
    if (first == std::string_view::npos || key[first] == ';' || key[first] == '[') return false;
    if (key.find_first_of("\r\n=") != std::string_view::npos) return false;
  }
  return string == nullptr || std::string_view(string).find_first_of("\r\n") == std::string_view::npos;
}

std::string WithoutTrailingBlanks(LPCSTR text) {
  std::string result(text != nullptr ? text : "");
  while (!result.empty() && (result.back() == ' ' || result.back() == '\t')) result.pop_back();
  return result;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returnedString,
                               DWORD nSize, LPCSTR fileName) {
  const std::string text = ProfileTextOf(fileName);
  if (appName == nullptr) return CopyList(xtb::win32::ProfileSections(text), returnedString, nSize);
  if (keyName == nullptr) return CopyList(xtb::win32::ProfileKeys(text, appName), returnedString, nSize);
  const std::optional<std::string> value = xtb::win32::ProfileValue(text, appName, keyName);
  return CopyString(value ? *value : WithoutTrailingBlanks(defaultValue), returnedString, nSize);
}

UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName) {
  if (appName == nullptr || keyName == nullptr) return static_cast<UINT>(defaultValue);
  const std::optional<std::string> value = xtb::win32::ProfileValue(ProfileTextOf(fileName), appName, keyName);
  if (!value || value->empty()) return static_cast<UINT>(defaultValue);
  const char* digits = value->c_str();
  while (*digits == ' ' || *digits == '\t') ++digits;
  const bool negative = *digits == '-';
  if (negative) ++digits;
  unsigned base = 10;
  if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits += 2;
  }
  UINT number = 0;
  for (;; ++digits) {
    const char c = *digits;
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else break;
    number = number * base + digit;  // wraps as Windows' unsigned result does
  }
  return negative ? 0u - number : number;
}

BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR string, LPCSTR fileName) {
  if (appName == nullptr) return keyName == nullptr && string == nullptr ? TRUE : Fail(ERROR_INVALID_PARAMETER);
  if (!Writable(appName, keyName, string)) return Fail(ERROR_INVALID_PARAMETER);
  if (keyName == nullptr) {
    return EditProfile(fileName, [&](std::string_view text) { return xtb::win32::WithoutProfileSection(text, appName); });
  }
  const std::optional<std::string_view> value = string != nullptr ? std::optional<std::string_view>(string) : std::nullopt;
  return EditProfile(fileName,
                     [&](std::string_view text) { return xtb::win32::WithProfileValue(text, appName, keyName, value); });
}
