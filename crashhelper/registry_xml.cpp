#include "registry_xml.h"

#include <xtbasis/platform/regfile.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/xml.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

namespace xtb {
namespace {

// Strings as text (the parts of a multi-string one per line), numbers in
// decimal, anything else as hex bytes.
std::string ValueText(DWORD type, const std::vector<BYTE>& data) {
  std::string text;
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    for (BYTE byte : data) text += byte == 0 ? '\n' : static_cast<char>(byte);
    while (!text.empty() && text.back() == '\n') text.pop_back();
  } else if (type == REG_DWORD && data.size() == 4) {
    uint32_t value;
    std::memcpy(&value, data.data(), 4);
    text = std::to_string(value);
  } else if (type == REG_QWORD && data.size() == 8) {
    uint64_t value;
    std::memcpy(&value, data.data(), 8);
    text = std::to_string(value);
  } else {
    char hex[4];
    for (BYTE byte : data) {
      std::snprintf(hex, sizeof hex, text.empty() ? "%02x" : ",%02x", byte);
      text += hex;
    }
  }
  return text;
}

void WriteKey(CXTXMLWriter& writer, HKEY key, const std::string& name) {
  writer.StartElement("key", "name", name.c_str(), nullptr);
  for (DWORD index = 0;; ++index) {
    char valueName[16384];
    DWORD nameLength = sizeof valueName, type = 0, size = 0;
    if (RegEnumValueA(key, index, valueName, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size);
    DWORD dataSize = size;
    if (RegQueryValueExA(key, valueName, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) continue;
    data.resize(dataSize);
    writer.CharElement("value", ValueText(type, data).c_str(), "name", valueName, "type", RegValueTypeName(type),
                       nullptr);
  }
  for (DWORD index = 0;; ++index) {
    char subName[256];
    DWORD nameLength = sizeof subName;
    if (RegEnumKeyExA(key, index, subName, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, subName, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    WriteKey(writer, sub, name + "\\" + subName);
    RegCloseKey(sub);
  }
  writer.EndElement();
}

}  // namespace

std::string RegistryKeyAsXml(const std::string& keyPath) {
  CXTXMLWriter writer;
  writer.StartDocument();
  writer.StartElement("registry", nullptr);
  HKEY root = nullptr, key = nullptr;
  std::string below;
  if (SplitRegKeyPath(keyPath, &root, &below) &&
      RegOpenKeyExA(root, below.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    WriteKey(writer, key, keyPath);
    RegCloseKey(key);
  }
  writer.EndElement();
  writer.EndDocument();
  CString out;
  writer.ToString(out);
  return out.GetString();
}

}  // namespace xtb
