// Arbitrary bytes as a .reg file, through the parser and a real store in a
// folder of its own. Checked: a refusal says why and writes nothing; every
// malformed entry is reported with its line; whatever imports exports in
// both forms and imports again to the same store; on a file without
// malformed entries the strict import writes what the lenient one writes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <xtbasis/platform/regfile.h>

#include "registry/regfile_parse.h"

namespace {

// The store's folder, removed again when the run ends.
const std::string& Folder() {
  static const std::string* const folder = [] {
    // In memory: every input opens the hives afresh.
    auto* path = new std::string("/dev/shm/xtb-fuzz-regfile-XXXXXX");
    if (mkdtemp(path->data()) == nullptr) std::abort();
    setenv("XTBASIS_REGISTRY_DIR", path->c_str(), 1);
    std::atexit([] {
      xtb::CloseRegistryHives();
      std::error_code ignored;
      std::filesystem::remove_all(Folder(), ignored);
    });
    return path;
  }();
  return *folder;
}

void EmptyStore() {
  xtb::CloseRegistryHives();
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(Folder(), ignored))
    std::filesystem::remove(entry.path(), ignored);
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Both hives whole, as one file of `format`.
std::string ExportFile(xtb::RegFileFormat format) {
  const bool unicode = format == xtb::RegFileFormat::Unicode;
  const std::string_view header = unicode ? "Windows Registry Editor Version 5.00\r\n\r\n" : "REGEDIT4\r\n\r\n";
  const size_t headerBytes = unicode ? 2 + 2 * header.size() : header.size();
  std::string out, text;
  xtb::RegFileError error;
  for (const char* root : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"}) {
    Check(xtb::ExportRegText(root, format, &text, &error));
    out += out.empty() ? text : text.substr(headerBytes);
  }
  return out;
}

struct Snapshot {
  std::string unicode, regedit4;
  bool operator==(const Snapshot&) const = default;
};

// Imports `bytes` into an empty store, which must succeed, and exports it.
Snapshot ImportIntoEmptyStore(std::string_view bytes, xtb::RegImportMode mode) {
  EmptyStore();
  xtb::RegFileError error;
  Check(xtb::ImportRegText(bytes, &error, mode));
  return {ExportFile(xtb::RegFileFormat::Unicode), ExportFile(xtb::RegFileFormat::Regedit4)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<xtb::reg::RegFileEntry> entries;
  std::vector<xtb::RegFileError> problems;
  xtb::RegFileError error;
  Folder();
  if (!xtb::reg::ParseRegFile(bytes, &entries, &problems, &error)) {
    Check(!error.message.empty() && entries.empty() && problems.empty());
    EmptyStore();
    Check(!xtb::ImportRegText(bytes, &error));
    Check(!std::filesystem::exists(Folder() + "/user.db") && !std::filesystem::exists(Folder() + "/machine.db"));
    return 0;
  }
  for (const auto& problem : problems) {
    Check(problem.line >= 2);
    Check(problem.message.rfind("Zeile " + std::to_string(problem.line) + ": ", 0) == 0);
  }

  const Snapshot imported = ImportIntoEmptyStore(bytes, xtb::RegImportMode::SkipMalformed);
  if (problems.empty()) Check(ImportIntoEmptyStore(bytes, xtb::RegImportMode::Strict) == imported);
  // What the store holds goes out and comes back unchanged, in either form;
  // the strict import also proves that the export has no malformed entry.
  Check(ImportIntoEmptyStore(imported.unicode, xtb::RegImportMode::Strict) == imported);
  Check(ImportIntoEmptyStore(imported.regedit4, xtb::RegImportMode::Strict) == imported);
  return 0;
}
