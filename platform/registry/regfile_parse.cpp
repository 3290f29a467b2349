#include "regfile_parse.h"

#include <cstring>

#include "utf8cp1252.h"
#include "store.h"
#include "utf16.h"

namespace xtb::reg {

namespace {

constexpr std::string_view kUnicodeHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kAnsiHeader = "REGEDIT4";

struct Failure {
  std::string message;
};

// The file as 1252 text: the Unicode format arrives as UTF-16LE or UTF-8.
bool DecodeFile(std::string_view bytes, std::string* text, RegFileError* error) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) {
      *error = {0, "the UTF-16 text ends in half a character"};
      return false;
    }
    *text = Utf16LeToCp1252(bytes.substr(2));
  } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    *text = Utf8ToCp1252(bytes.substr(3));
  } else if (bytes.substr(0, kAnsiHeader.size()) == kAnsiHeader) {
    *text = bytes;
  } else {
    *text = Utf8ToCp1252(bytes);
  }
  return true;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}
std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

uint32_t ParseHexNumber(std::string_view digits, size_t maxDigits, const char* what) {
  if (digits.empty() || digits.size() > maxDigits) throw Failure{std::string("bad ") + what + " '" + std::string(digits) + "'"};
  uint32_t value = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) throw Failure{std::string("bad ") + what + " '" + std::string(digits) + "'"};
    value = value << 4 | static_cast<uint32_t>(d);
  }
  return value;
}

// "text" with \\ and \" escapes; `s` starts at the opening quote.
std::string ParseQuoted(std::string_view& s) {
  std::string out;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (s[i] == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
        throw Failure{"a backslash in a quoted text must be followed by \\ or \""};
      ++i;
    }
    out += s[i];
  }
  throw Failure{"a quoted text is not closed"};
}

std::string ParseHexBytes(std::string_view list) {
  std::string out;
  list = Trim(list);
  if (list.empty()) return out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view item = Trim(list.substr(start, end - start));
    if (item.empty() && end == list.size() && start > 0) break;  // a trailing comma
    out += static_cast<char>(ParseHexNumber(item, 2, "hex byte"));
    start = end + 1;
  }
  return out;
}

struct Parser {
  bool unicode = false;
  bool haveKey = false;
  HiveId hive = HiveId::User;
  std::string path;
  std::vector<RegFileEntry>* entries;

  void KeyLine(std::string_view line, int number) {
    const size_t close = line.rfind(']');
    if (close == std::string_view::npos || !Trim(line.substr(close + 1)).empty())
      throw Failure{"a key line must end with ']'"};
    std::string_view name = line.substr(1, close - 1);
    const bool remove = !name.empty() && name.front() == '-';
    if (remove) name.remove_prefix(1);
    RegFileEntry entry;
    if (!ResolveKeyPath(name, &entry.hive, &entry.path)) throw Failure{"bad key name '" + std::string(name) + "'"};
    if (remove && entry.path.empty()) throw Failure{"a root key cannot be deleted"};
    entry.kind = remove ? RegFileEntry::DeleteKey : RegFileEntry::Key;
    entry.line = number;
    haveKey = !remove;
    hive = entry.hive;
    path = entry.path;
    entries->push_back(std::move(entry));
  }

  void ValueLine(std::string_view line, int number) {
    if (!haveKey) throw Failure{"a value outside of a key"};
    RegFileEntry entry{RegFileEntry::Value, hive, path, {}, 0, {}, number};
    if (line.front() == '@') line.remove_prefix(1);
    else entry.name = ParseQuoted(line);
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') throw Failure{"'=' expected after the value name"};
    const std::string_view value = Trim(line.substr(1));
    if (value == "-") {
      entry.kind = RegFileEntry::DeleteValue;
    } else if (!value.empty() && value.front() == '"') {
      std::string_view rest = value;
      entry.type = REG_SZ;
      entry.data = ParseQuoted(rest);
      entry.data += '\0';
      if (!Trim(rest).empty()) throw Failure{"text after the closing quote"};
    } else if (value.substr(0, 6) == "dword:") {
      const uint32_t number32 = ParseHexNumber(Trim(value.substr(6)), 8, "dword");
      entry.type = REG_DWORD;
      entry.data.assign(reinterpret_cast<const char*>(&number32), 4);
    } else if (value.substr(0, 4) == "hex:") {
      entry.type = REG_BINARY;
      entry.data = ParseHexBytes(value.substr(4));
    } else if (value.substr(0, 4) == "hex(") {
      const size_t close = value.find("):");
      if (close == std::string_view::npos) throw Failure{"'hex(' without '):'"};
      entry.type = ParseHexNumber(value.substr(4, close - 4), 8, "value type");
      entry.data = ParseHexBytes(value.substr(close + 2));
      const bool text = entry.type == REG_SZ || entry.type == REG_EXPAND_SZ || entry.type == REG_MULTI_SZ;
      if (unicode && text) {
        if (entry.data.size() % 2 != 0) throw Failure{"a UTF-16 text of an odd number of bytes"};
        entry.data = Utf16LeToCp1252(entry.data);
      }
    } else {
      throw Failure{"unknown value form '" + std::string(value.substr(0, 16)) + "'"};
    }
    if (entry.name.size() > kMaxValueNameLength) throw Failure{"value name too long"};
    entries->push_back(std::move(entry));
  }
};

}  // namespace

bool ResolveKeyPath(std::string_view keyPath, HiveId* hive, std::string* path) {
  HKEY root = nullptr;
  std::string below;
  if (!SplitRegKeyPath(keyPath, &root, &below)) return false;
  *hive = root == HKEY_CURRENT_USER ? HiveId::User : HiveId::Machine;
  if (root == HKEY_CLASSES_ROOT) below = below.empty() ? "SOFTWARE\\Classes" : "SOFTWARE\\Classes\\" + below;
  std::vector<std::string_view> segments;
  if (!SplitKeyPath(below, segments)) return false;
  *path = std::move(below);
  return true;
}

bool ParseRegFile(std::string_view bytes, std::vector<RegFileEntry>* entries, RegFileError* error) {
  entries->clear();
  std::string text;
  if (!DecodeFile(bytes, &text, error)) return false;
  Parser parser;
  parser.entries = entries;
  int number = 0;
  bool header = false;
  size_t pos = 0;
  try {
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line(Trim(std::string_view(text).substr(pos, end - pos)));
      pos = end + 1;
      const int first = ++number;
      // A line ending in '\' goes on in the next one (long hex lists).
      while (!line.empty() && line.back() == '\\' && line.front() != '[' && pos < text.size()) {
        line.pop_back();
        end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        line += Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        ++number;
      }
      if (line.empty() || line.front() == ';') continue;
      try {
        if (!header) {
          if (line == kUnicodeHeader) parser.unicode = true;
          else if (line != kAnsiHeader) throw Failure{"not a registry file: the first line must be \"" +
                                                      std::string(kUnicodeHeader) + "\" or \"REGEDIT4\""};
          header = true;
        } else if (line.front() == '[') {
          parser.KeyLine(line, first);
        } else if (line.front() == '"' || line.front() == '@') {
          parser.ValueLine(line, first);
        } else {
          throw Failure{"neither a key nor a value"};
        }
      } catch (const Failure& failure) {
        *error = {first, "line " + std::to_string(first) + ": " + failure.message};
        return false;
      }
    }
  } catch (const std::bad_alloc&) {
    *error = {number, "out of memory"};
    return false;
  }
  if (!header) {
    *error = {0, "not a registry file: it is empty"};
    return false;
  }
  return true;
}

}  // namespace xtb::reg
