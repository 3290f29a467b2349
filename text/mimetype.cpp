// MIME types by file extension: the registry's file-type keys first, then
// the system's table of media types.
#include <sstream>
#include <string>
#include <unordered_map>

#include <xtbasis/platform/registry.h>
#include <xtbasis/textformats.h>

#include "os/file.h"

namespace {

constexpr const char* kSystemTable = "/etc/mime.types";

// "Content Type" below HKEY_CLASSES_ROOT\<extension>, "" when absent.
std::string FromRegistry(const CString& extension) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::string value(256, '\0');
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(value.size());
  LONG rc = RegQueryValueExA(key, "Content Type", nullptr, &type, reinterpret_cast<LPBYTE>(value.data()), &size);
  if (rc == ERROR_MORE_DATA) {
    value.assign(size, '\0');
    rc = RegQueryValueExA(key, "Content Type", nullptr, &type, reinterpret_cast<LPBYTE>(value.data()), &size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  value.resize(size);
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

// Lower-case extension without its dot to type, read once from the system table.
const std::unordered_map<std::string, std::string>& SystemTable() {
  static const auto table = [] {
    std::unordered_map<std::string, std::string> map;
    std::string content;
    xtb::os::ReadWholeFile(kSystemTable, content);  // no table: no types
    std::istringstream in(content);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream words(line);
      std::string type;
      std::string ext;
      words >> type;
      while (words >> ext) map.emplace(ext, type);  // the first type named for an extension wins
    }
    return map;
  }();
  return table;
}

}  // namespace

CString GetMimeType(const CString& fileName) {
  const int dot = fileName.ReverseFind('.');
  const CString extension = dot >= 0 ? fileName.Mid(dot) : "." + fileName;
  if (extension.CompareNoCase(".xml") == 0) return "application/xml";
  if (std::string type = FromRegistry(extension); !type.empty()) return CString(std::move(type));
  CString bare = extension.Mid(1);
  bare.MakeLower();
  const auto& table = SystemTable();
  const auto it = table.find(bare.str());
  return it == table.end() ? CString() : CString(it->second);
}
