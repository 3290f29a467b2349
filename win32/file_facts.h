// What Windows tells of a file, from what this system keeps: its attributes
// (the mapping files.h documents) and its times as FILETIME.
#pragma once

#include <cstdint>
#include <string_view>

#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/files.h>

#include "os/file.h"

namespace xtb::win32 {

// The attributes of the file `name` (the last part of its path) with `facts`.
DWORD AttributesOf(const os::FileFacts& facts, std::string_view name);

// What GetFileAttributesEx and FindFirstFile tell of the file `name` with
// `facts`: attributes, times, and the size (0 for a folder).
WIN32_FILE_ATTRIBUTE_DATA AttributeDataOf(const os::FileFacts& facts, std::string_view name);

// Seconds and nanoseconds since 1970 as 100-ns steps since 1601 (UTC).
FILETIME FileTimeOf(int64_t seconds, long nanoseconds);

// The last part of `path` (after its last '/' or '\').
std::string_view LastNameOf(std::string_view path);

// A file's name without its extension (a leading '.' is no extension).
std::string_view TitleOf(std::string_view name);

}  // namespace xtb::win32
