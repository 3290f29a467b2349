#include "file_facts.h"

#include <xtbasis/win32/files.h>

namespace xtb::win32 {

DWORD AttributesOf(const os::FileFacts& facts, std::string_view name) {
  DWORD attributes = 0;
  if (facts.folder) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (facts.regular) attributes |= FILE_ATTRIBUTE_ARCHIVE;
  if ((facts.mode & 0222) == 0 && !facts.folder) attributes |= FILE_ATTRIBUTE_READONLY;
  if (name.size() > 1 && name.front() == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

WIN32_FILE_ATTRIBUTE_DATA AttributeDataOf(const os::FileFacts& facts, std::string_view name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  data.dwFileAttributes = AttributesOf(facts, name);
  data.ftLastWriteTime = FileTimeOf(facts.modifiedSeconds, facts.modifiedNanoseconds);
  data.ftCreationTime = data.ftLastWriteTime;
  data.ftLastAccessTime = FileTimeOf(facts.accessedSeconds, facts.accessedNanoseconds);
  const uint64_t size = facts.folder ? 0 : static_cast<uint64_t>(facts.size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size);
  return data;
}

FILETIME FileTimeOf(int64_t seconds, long nanoseconds) {
  // 1601-01-01 to 1970-01-01: 11644473600 seconds.
  constexpr int64_t kEpochSteps = INT64_C(116444736000000000);
  int64_t steps = seconds * 10000000 + nanoseconds / 100 + kEpochSteps;
  if (steps < 0) steps = 0;
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(steps));
  time.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(steps) >> 32);
  return time;
}

std::string_view LastNameOf(std::string_view path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view TitleOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace xtb::win32
