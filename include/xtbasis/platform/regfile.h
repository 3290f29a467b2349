// The .reg text format of the registry: "Windows Registry Editor Version
// 5.00" (UTF-16LE with BOM; UTF-8 is read too) and "REGEDIT4" (code page
// 1252). An import reads the whole file before anything is written, and
// writes it in one transaction per hive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/registry.h>

namespace xtb {

enum class RegFileFormat { Unicode, Regedit4 };

struct RegFileError {
  int line = 0;         // 1-based line of the file; 0 when not about a line
  std::string message;  // German, code page 1252: "Zeile 7: ungültiges Hex-Byte 'zz'"
};

// What an import does with malformed entries (a bad key line, value or hex
// list). SkipMalformed, as Windows imports: each is left out and everything
// else is written. Strict: the first one refuses the file, nothing is written.
enum class RegImportMode { SkipMalformed, Strict };

// Imports the bytes of a .reg file. False, with `error` and nothing written,
// when the bytes are no registry file, the store cannot be written, or (in
// Strict mode) an entry is malformed; `error` then names the first such
// entry. `problems` receives every malformed entry, in file order, in
// either mode.
XTBASIS_API bool ImportRegText(std::string_view bytes, RegFileError* error,
                               RegImportMode mode = RegImportMode::SkipMalformed,
                               std::vector<RegFileError>* problems = nullptr);
XTBASIS_API bool ImportRegFile(const std::string& path, RegFileError* error,
                               RegImportMode mode = RegImportMode::SkipMalformed,
                               std::vector<RegFileError>* problems = nullptr);

// Writes the key named by `keyPath` ("HKEY_CURRENT_USER\Software\X", short
// root names HKCU, HKLM, HKCR accepted) with everything below it.
XTBASIS_API bool ExportRegText(const std::string& keyPath, RegFileFormat format, std::string* text,
                               RegFileError* error);
// The file is replaced whole (written aside, then renamed).
XTBASIS_API bool ExportRegFile(const std::string& keyPath, const std::string& path, RegFileFormat format,
                               RegFileError* error);

// Splits "HKLM\Software\X" into a predefined root and the path below it,
// without the path's trailing backslashes.
XTBASIS_API bool SplitRegKeyPath(std::string_view keyPath, HKEY* root, std::string* subKey);

// The name of a value type as the registry editor shows it ("REG_SZ",
// "REG_DWORD" ...); "REG_UNKNOWN" for a number that names none of the
// store's types.
XTBASIS_API const char* RegValueTypeName(DWORD type);

}  // namespace xtb
