// The .reg text format of the registry: "Windows Registry Editor Version
// 5.00" (UTF-16LE with BOM; UTF-8 is read too) and "REGEDIT4" (code page
// 1252). An import is checked whole before anything is written, and then
// written in one transaction per hive: a malformed file changes nothing.
#pragma once

#include <string>
#include <string_view>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/registry.h>

namespace xtb {

enum class RegFileFormat { Unicode, Regedit4 };

struct RegFileError {
  int line = 0;         // 1-based line of the file; 0 when not about a line
  std::string message;  // e.g. "line 7: bad hex byte 'zz'"
};

// Imports the bytes of a .reg file.
XTBASIS_API bool ImportRegText(std::string_view bytes, RegFileError* error);
XTBASIS_API bool ImportRegFile(const std::string& path, RegFileError* error);

// Writes the key named by `keyPath` ("HKEY_CURRENT_USER\Software\X", short
// root names HKCU, HKLM, HKCR accepted) with everything below it.
XTBASIS_API bool ExportRegText(const std::string& keyPath, RegFileFormat format, std::string* text,
                               RegFileError* error);
// The file is replaced whole (written aside, then renamed).
XTBASIS_API bool ExportRegFile(const std::string& keyPath, const std::string& path, RegFileFormat format,
                               RegFileError* error);

// Splits "HKLM\Software\X" into a predefined root and the path below it.
XTBASIS_API bool SplitRegKeyPath(std::string_view keyPath, HKEY* root, std::string* subKey);

}  // namespace xtb
