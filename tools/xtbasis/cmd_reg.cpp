// xtbasis reg: read and change the registry store, import and export .reg files.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <xtbasis/platform/regfile.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>

#include "command.h"

namespace {

constexpr const char* kUsage =
    "xtbasis reg get KEY [NAME]\n"
    "       xtbasis reg set KEY NAME [--type sz|expand_sz|multi_sz|dword|qword|binary] VALUE...\n"
    "       xtbasis reg delete KEY [NAME]   (without NAME: the key with everything below it)\n"
    "       xtbasis reg list KEY\n"
    "       xtbasis reg import FILE [--strict]   (--strict: a malformed entry stops the whole import)\n"
    "       xtbasis reg export KEY FILE [--regedit4]\n"
    "KEY is e.g. \"HKLM\\SOFTWARE\\Vantorix\\X\" (HKLM, HKCU, HKCR or their long names); NAME \"\" is the default value";

int Usage(const std::string& message) { return xtbtool::UsageError("reg", message); }

int Fail(const std::string& what, LONG code) {
  std::fprintf(stderr, "xtbasis reg: %s (error %ld)\n", what.c_str(), static_cast<long>(code));
  return 1;
}

// The library's texts are in code page 1252; the terminal reads UTF-8.
std::string ForTerminal(const std::string& text) { return AnsiToUTF8(CString(text.c_str())).GetString(); }

// Opens KEY; reports a bad key name as usage error (2) and other failures (1).
int OpenKey(const std::string& keyPath, REGSAM access, bool create, HKEY* key) {
  HKEY root = nullptr;
  std::string subKey;
  if (!xtb::SplitRegKeyPath(keyPath, &root, &subKey)) return Usage("bad key name '" + keyPath + "'");
  const LONG rc = create ? RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, access, nullptr, key, nullptr)
                         : RegOpenKeyExA(root, subKey.c_str(), 0, access, key);
  return rc == ERROR_SUCCESS ? 0 : Fail("cannot open " + keyPath, rc);
}

// The value as text: strings as they are (one line per string of a
// MULTI_SZ), numbers in decimal, anything else as hex bytes.
std::string Display(DWORD type, const std::string& data) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) return data.substr(0, data.find('\0'));
  if (type == REG_MULTI_SZ) {
    std::string out;
    for (size_t pos = 0; pos < data.size() && data[pos] != '\0';) {
      const size_t end = std::min(data.find('\0', pos), data.size());
      out += (out.empty() ? "" : "\n") + data.substr(pos, end - pos);
      pos = end + 1;
    }
    return out;
  }
  if ((type == REG_DWORD && data.size() == 4) || (type == REG_QWORD && data.size() == 8)) {
    uint64_t number = 0;
    std::memcpy(&number, data.data(), data.size());
    return std::to_string(number);
  }
  std::string out;
  char byte[4];
  for (unsigned char c : data) {
    std::snprintf(byte, sizeof byte, "%s%02x", out.empty() ? "" : " ", c);
    out += byte;
  }
  return out;
}

int Get(const xtbtool::Args& args) {
  if (args.size() < 2 || args.size() > 3) return Usage("get needs KEY and an optional NAME");
  HKEY key = nullptr;
  if (const int rc = OpenKey(args[1], KEY_READ, false, &key)) return rc;
  const char* name = args.size() == 3 ? args[2].c_str() : "";
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  std::string data(size, '\0');
  if (rc == ERROR_SUCCESS)
    rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return Fail(std::string("no value '") + name + "' in " + args[1], rc);
  std::printf("%s\n", Display(type, data.substr(0, size)).c_str());
  return 0;
}

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t* value) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtoull(text.c_str(), &end, 0);
  return errno == 0 && *end == '\0' && *value <= limit;
}

// The bytes of VALUE... for a type; false with a message when they do not fit.
bool Encode(const std::string& type, const xtbtool::Args& values, DWORD* regType, std::string* data,
            std::string* problem) {
  const bool single = values.size() == 1;
  uint64_t number = 0;
  if (type == "sz" || type == "expand_sz") {
    *regType = type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    if (!single) return *problem = "one VALUE expected", false;
    *data = values[0] + '\0';
  } else if (type == "multi_sz") {
    *regType = REG_MULTI_SZ;
    for (const std::string& v : values) *data += v + '\0';
    *data += '\0';
  } else if (type == "dword" || type == "qword") {
    *regType = type == "dword" ? REG_DWORD : REG_QWORD;
    const uint64_t limit = type == "dword" ? 0xFFFFFFFFull : ~0ull;
    if (!single || !ParseNumber(values[0], limit, &number)) return *problem = "VALUE must be one number", false;
    data->assign(reinterpret_cast<const char*>(&number), type == "dword" ? 4 : 8);
  } else if (type == "binary") {
    *regType = REG_BINARY;
    std::string hex;
    for (const std::string& v : values)
      for (char c : v)
        if (c != ',' && c != ' ') hex += c;
    if (hex.size() % 2 != 0) return *problem = "binary VALUE needs pairs of hex digits", false;
    for (size_t i = 0; i < hex.size(); i += 2) {
      if (!std::isxdigit(static_cast<unsigned char>(hex[i])) || !std::isxdigit(static_cast<unsigned char>(hex[i + 1])))
        return *problem = "binary VALUE needs hex digits", false;
      *data += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
  } else {
    return *problem = "unknown type '" + type + "'", false;
  }
  return true;
}

int Set(const xtbtool::Args& args) {
  xtbtool::Args rest(args.begin() + 1, args.end());
  std::string type = "sz";
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != "--type") continue;
    if (i + 1 >= rest.size()) return Usage("--type needs a type");
    type = rest[i + 1];
    rest.erase(rest.begin() + static_cast<long>(i), rest.begin() + static_cast<long>(i) + 2);
    break;
  }
  if (rest.size() < 3 && !(rest.size() == 2 && type == "multi_sz")) return Usage("set needs KEY, NAME and VALUE");
  DWORD regType = REG_SZ;
  std::string data, problem;
  if (!Encode(type, xtbtool::Args(rest.begin() + 2, rest.end()), &regType, &data, &problem)) return Usage(problem);
  HKEY key = nullptr;
  if (const int rc = OpenKey(rest[0], KEY_WRITE, true, &key)) return rc;
  const LONG rc = RegSetValueExA(key, rest[1].c_str(), 0, regType, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? 0 : Fail("cannot set '" + rest[1] + "' in " + rest[0], rc);
}

int Delete(const xtbtool::Args& args) {
  if (args.size() < 2 || args.size() > 3) return Usage("delete needs KEY and an optional NAME");
  HKEY root = nullptr;
  std::string subKey;
  if (!xtb::SplitRegKeyPath(args[1], &root, &subKey)) return Usage("bad key name '" + args[1] + "'");
  if (args.size() == 2) {
    if (subKey.empty()) return Usage("a root key cannot be deleted");
    const LONG rc = RegDeleteTreeA(root, subKey.c_str());
    return rc == ERROR_SUCCESS ? 0 : Fail("cannot delete " + args[1], rc);
  }
  HKEY key = nullptr;
  if (const int rc = OpenKey(args[1], KEY_SET_VALUE, false, &key)) return rc;
  const LONG rc = RegDeleteValueA(key, args[2].c_str());
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? 0 : Fail("cannot delete '" + args[2] + "' in " + args[1], rc);
}

int List(const xtbtool::Args& args) {
  if (args.size() != 2) return Usage("list needs KEY");
  HKEY key = nullptr;
  if (const int rc = OpenKey(args[1], KEY_READ, false, &key)) return rc;
  DWORD maxName = 0, maxValueName = 0, maxData = 0;
  LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxName, nullptr, nullptr, &maxValueName,
                             &maxData, nullptr, nullptr);
  std::string name(std::max(maxName, maxValueName) + 1, '\0');
  std::string data(maxData, '\0');
  for (DWORD i = 0; rc == ERROR_SUCCESS; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    rc = RegEnumKeyExA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) std::printf("%s\\\n", name.c_str());
  }
  if (rc == ERROR_NO_MORE_ITEMS) rc = ERROR_SUCCESS;
  for (DWORD i = 0; rc == ERROR_SUCCESS; ++i) {
    DWORD length = static_cast<DWORD>(name.size()), type = 0, size = static_cast<DWORD>(data.size());
    rc = RegEnumValueA(key, i, name.data(), &length, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc == ERROR_SUCCESS)
      std::printf("%s\t%s\t%s\n", length ? name.c_str() : "@", xtb::RegValueTypeName(type),
                  Display(type, data.substr(0, size)).c_str());
  }
  RegCloseKey(key);
  return rc == ERROR_NO_MORE_ITEMS ? 0 : Fail("cannot list " + args[1], rc);
}

// As on Windows, malformed entries are reported and left out, and the rest
// is imported; --strict imports nothing when there is one.
int Import(const xtbtool::Args& args) {
  xtbtool::Args rest(args.begin() + 1, args.end());
  const auto strict = std::find(rest.begin(), rest.end(), "--strict");
  const auto mode = strict == rest.end() ? xtb::RegImportMode::SkipMalformed : xtb::RegImportMode::Strict;
  if (strict != rest.end()) rest.erase(strict);
  if (rest.size() != 1) return Usage("import needs FILE");
  xtb::RegFileError error;
  std::vector<xtb::RegFileError> problems;
  const bool imported = xtb::ImportRegFile(rest[0], &error, mode, &problems);
  const auto report = [&](const std::string& message, const char* tail) {
    std::fprintf(stderr, "xtbasis reg: %s: %s%s\n", rest[0].c_str(), ForTerminal(message).c_str(), tail);
  };
  for (const auto& problem : problems) report(problem.message, imported ? " (übersprungen)" : "");
  if (imported) return 0;
  if (mode == xtb::RegImportMode::Strict && !problems.empty()) report("nichts importiert", "");
  else report(error.message, "");
  return 1;
}

int Export(const xtbtool::Args& args) {
  xtbtool::Args rest(args.begin() + 1, args.end());
  auto format = xtb::RegFileFormat::Unicode;
  for (auto it = rest.begin(); it != rest.end(); ++it) {
    if (*it != "--regedit4") continue;
    format = xtb::RegFileFormat::Regedit4;
    rest.erase(it);
    break;
  }
  if (rest.size() != 2) return Usage("export needs KEY and FILE");
  xtb::RegFileError error;
  if (xtb::ExportRegFile(rest[0], rest[1], format, &error)) return 0;
  std::fprintf(stderr, "xtbasis reg: %s\n", ForTerminal(error.message).c_str());
  return 1;
}

int Run(const xtbtool::Args& args) {
  if (args.empty()) return Usage("a subcommand is needed");
  const std::string& verb = args[0];
  if (verb == "get") return Get(args);
  if (verb == "set") return Set(args);
  if (verb == "delete") return Delete(args);
  if (verb == "list") return List(args);
  if (verb == "import") return Import(args);
  if (verb == "export") return Export(args);
  return Usage("unknown subcommand '" + verb + "'");
}

const xtbtool::Registration registration({"reg", "read, change, import and export the registry", kUsage, Run});

}  // namespace
