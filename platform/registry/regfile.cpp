// Import and export of .reg files over the store.
#include <xtbasis/platform/regfile.h>


#include <cstdio>
#include <cstring>
#include <optional>

#include "os/file.h"
#include "os/folder.h"
#include "utf8cp1252.h"
#include "regfile_parse.h"
#include "store.h"
#include "utf16.h"

namespace xtb {

namespace {

using reg::HiveId;

constexpr size_t kHexLineWidth = 76;

// German, in code page 1252 like the parser's reasons.
std::string ErrorText(LONG code) {
  switch (code) {
    case ERROR_ACCESS_DENIED: return Utf8ToCp1252("Zugriff verweigert");
    case ERROR_FILE_NOT_FOUND: return Utf8ToCp1252("Schlüssel nicht gefunden");
    case ERROR_REGISTRY_CORRUPT: return Utf8ToCp1252("die Registrierungsdatenbank ist beschädigt");
    case ERROR_DISK_FULL: return Utf8ToCp1252("Datenträger voll");
    case ERROR_OUTOFMEMORY: return Utf8ToCp1252("nicht genügend Arbeitsspeicher");
    default: return "Registrierungsfehler " + std::to_string(code);
  }
}

// Write access to a hive for one import: opened on first use, in hive order.
struct HiveWriter {
  std::optional<reg::Session> session;
  std::optional<reg::WriteTransaction> transaction;
};

void Apply(const std::vector<reg::RegFileEntry>& entries) {
  HiveWriter writers[reg::kHiveCount];
  bool used[reg::kHiveCount] = {};
  for (const auto& entry : entries) used[static_cast<int>(entry.hive)] = true;
  for (int i = 0; i < reg::kHiveCount; ++i) {
    if (!used[i]) continue;
    writers[i].session.emplace(static_cast<HiveId>(i));
    writers[i].transaction.emplace(*writers[i].session);
  }
  int64_t key = 0;
  std::vector<std::string_view> segments;
  for (const auto& entry : entries) {
    reg::Session& s = *writers[static_cast<int>(entry.hive)].session;
    reg::SplitKeyPath(entry.path, segments);
    switch (entry.kind) {
      case reg::RegFileEntry::Key: {
        bool created = false;
        key = reg::CreatePath(s, reg::kRootKey, segments, &created);
        break;
      }
      case reg::RegFileEntry::DeleteKey:
        if (const int64_t found = reg::FindPath(s, reg::kRootKey, segments)) reg::DeleteKeyRow(s, found);
        break;
      case reg::RegFileEntry::Value: reg::SetValue(s, key, entry.name, entry.type, entry.data); break;
      case reg::RegFileEntry::DeleteValue: reg::DeleteValue(s, key, entry.name); break;
    }
  }
  for (HiveWriter& writer : writers)
    if (writer.transaction) writer.transaction->Commit();
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

// A REG_SZ that reads back the same from "text": one NUL at the end, no
// other NUL and no line break.
bool PlainString(std::string_view data) {
  return !data.empty() && data.back() == '\0' &&
         data.substr(0, data.size() - 1).find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

void AppendHex(std::string& out, std::string_view prefix, std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  out += prefix;
  size_t column = prefix.size();
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out += digits[b >> 4];
    out += digits[b & 15];
    column += 2;
    if (i + 1 == bytes.size()) break;
    out += ',';
    ++column;
    if (column > kHexLineWidth) {
      out += "\\\r\n  ";
      column = 2;
    }
  }
  out += "\r\n";
}

void AppendValue(std::string& out, const reg::ValueEntry& value, RegFileFormat format) {
  const std::string name = value.name.empty() ? "@" : Quoted(value.name);
  if (value.type == REG_SZ && PlainString(value.data)) {
    out += name + "=" + Quoted(std::string_view(value.data).substr(0, value.data.size() - 1)) + "\r\n";
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    uint32_t number = 0;
    std::memcpy(&number, value.data.data(), 4);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    out += name + "=" + text + "\r\n";
  } else if (value.type == REG_BINARY) {
    AppendHex(out, name + "=hex:", value.data);
  } else {
    const bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "=hex(%x):", value.type);
    AppendHex(out, name + prefix,
              text && format == RegFileFormat::Unicode ? reg::Cp1252ToUtf16Le(value.data) : value.data);
  }
}

void AppendKey(std::string& out, reg::Session& s, int64_t key, const std::string& name, RegFileFormat format) {
  out += "[" + name + "]\r\n";
  reg::ValueEntry value;
  for (int64_t i = 0; reg::ValueAt(s, key, i, &value); ++i) AppendValue(out, value, format);
  out += "\r\n";
  for (const auto& child : reg::Children(s, key)) AppendKey(out, s, child.id, name + "\\" + child.name, format);
}

// The root's long name and the rest of the path as the caller spelt it.
std::string DisplayName(const std::string& keyPath) {
  HKEY root = nullptr;
  std::string below;
  SplitRegKeyPath(keyPath, &root, &below);
  const char* rootName = root == HKEY_LOCAL_MACHINE  ? "HKEY_LOCAL_MACHINE"
                         : root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER"
                                                     : "HKEY_CLASSES_ROOT";
  return below.empty() ? rootName : std::string(rootName) + "\\" + below;
}

}  // namespace

bool SplitRegKeyPath(std::string_view keyPath, HKEY* root, std::string* subKey) {
  const size_t split = keyPath.find('\\');
  const std::string name = reg::Fold(keyPath.substr(0, split));
  if (name == "hkey_local_machine" || name == "hklm") *root = HKEY_LOCAL_MACHINE;
  else if (name == "hkey_current_user" || name == "hkcu") *root = HKEY_CURRENT_USER;
  else if (name == "hkey_classes_root" || name == "hkcr") *root = HKEY_CLASSES_ROOT;
  else return false;
  *subKey = split == std::string_view::npos ? std::string() : std::string(keyPath.substr(split + 1));
  while (!subKey->empty() && subKey->back() == '\\') subKey->pop_back();
  return true;
}

const char* RegValueTypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    default: return "REG_UNKNOWN";
  }
}

bool ImportRegText(std::string_view bytes, RegFileError* error, RegImportMode mode,
                   std::vector<RegFileError>* problems) {
  std::vector<reg::RegFileEntry> entries;
  std::vector<RegFileError> own;
  std::vector<RegFileError>& malformed = problems ? *problems : own;
  if (!reg::ParseRegFile(bytes, &entries, &malformed, error)) return false;
  if (mode == RegImportMode::Strict && !malformed.empty()) {
    *error = malformed.front();
    return false;
  }
  try {
    Apply(entries);
  } catch (const reg::StoreError& failure) {
    *error = {0, "nichts importiert: " + ErrorText(failure.code)};
    return false;
  } catch (const std::bad_alloc&) {
    *error = {0, "nichts importiert: " + ErrorText(ERROR_OUTOFMEMORY)};
    return false;
  }
  return true;
}

bool ImportRegFile(const std::string& path, RegFileError* error, RegImportMode mode,
                   std::vector<RegFileError>* problems) {
  if (problems) problems->clear();
  std::string bytes;
  if (!os::ReadWholeFile(path.c_str(), bytes)) {
    *error = {0, path + Utf8ToCp1252(" kann nicht gelesen werden")};
    return false;
  }
  return ImportRegText(bytes, error, mode, problems);
}

bool ExportRegText(const std::string& keyPath, RegFileFormat format, std::string* text, RegFileError* error) {
  reg::HiveId hive;
  std::string path;
  if (!reg::ResolveKeyPath(keyPath, &hive, &path)) {
    *error = {0, Utf8ToCp1252("ungültiger Schlüsselname '") + keyPath + "'"};
    return false;
  }
  std::string out = format == RegFileFormat::Unicode ? "Windows Registry Editor Version 5.00\r\n\r\n"
                                                     : "REGEDIT4\r\n\r\n";
  try {
    reg::Session s(hive);
    std::vector<std::string_view> segments;
    reg::SplitKeyPath(path, segments);
    const int64_t key = reg::FindPath(s, reg::kRootKey, segments);
    if (key == 0) throw reg::StoreError{ERROR_FILE_NOT_FOUND};
    AppendKey(out, s, key, DisplayName(keyPath), format);
  } catch (const reg::StoreError& failure) {
    *error = {0, ErrorText(failure.code) + ": " + keyPath};
    return false;
  }
  *text = format == RegFileFormat::Unicode ? "\xFF\xFE" + reg::Cp1252ToUtf16Le(out) : out;
  return true;
}

bool ExportRegFile(const std::string& keyPath, const std::string& path, RegFileFormat format,
                   RegFileError* error) {
  std::string text;
  if (!ExportRegText(keyPath, format, &text, error)) return false;
  // A new file renamed over the name: a reader sees the old or the whole
  // new text, and a link planted under the name is never written through.
  if (!os::ReplaceWholeFile(path.c_str(), text.data(), text.size(), os::kModeLessUmask)) {
    *error = {0, path + Utf8ToCp1252(" kann nicht geschrieben werden")};
    return false;
  }
  return true;
}

}  // namespace xtb
