#include "regfile_parse.h"

#include <algorithm>

#include <xtbasis/platform/codepage1252.h>

#include "utf8cp1252.h"
#include "store.h"
#include "utf16.h"

// The grammar, as Windows imports .reg files:
// - The first line is the header; anything else there (a blank line too)
//   means the bytes are no registry file.
// - Blank lines and lines starting with ';' are passed over. A comment never
//   joins the line after it, whatever it ends with.
// - Lines are joined only inside hex data, and only where a byte list on the
//   line ends in a comma followed by '\', or where '\' follows "hex:" or
//   "hex(N):" at once (all bytes on the lines after). The data then goes on
//   at the next line that is neither blank nor a comment, whatever it looks like,
//   and the end of the file ends it. No other line is ever joined.
// - A ';' after a value's data, or after the continuation '\', starts a
//   comment; anything else after the data makes the value malformed.
// - A malformed line or value is reported and left out; the reading goes on
//   after the last line that the entry took. Values after a key line that
//   failed, or after a key deletion, belong to no key and are left out too.
// - Data of hex(2) and hex(7) that does not end in a NUL gets one.

namespace xtb::reg {

namespace {

constexpr std::string_view kUnicodeHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kAnsiHeader = "REGEDIT4";

// Why an entry is malformed; in code page 1252 like the library's other texts.
struct Failure {
  std::string message;
};

Failure Malformed(const char* utf8, std::string_view detail = {}, const char* utf8After = "") {
  return Failure{Utf8ToCp1252(utf8) + std::string(detail) + Utf8ToCp1252(utf8After)};
}

RegFileError FileError(const char* utf8) { return {0, Utf8ToCp1252(utf8)}; }

// The file as 1252 text: the Unicode format arrives as UTF-16LE or UTF-8.
bool DecodeFile(std::string_view bytes, std::string* text, RegFileError* error) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) {
      *error = FileError("keine Registrierungsdatei: der UTF-16-Text endet mit einem halben Zeichen");
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The lines of the text without their line ends ("\n" or "\r\n").
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// 1 to `maxDigits` hex digits; false for anything else.
bool HexNumber(std::string_view digits, size_t maxDigits, uint32_t* value) {
  if (digits.empty() || digits.size() > maxDigits) return false;
  *value = 0;
  for (char c : digits) {
    const int d = cp1252::HexDigitValue(c);
    if (d < 0) return false;
    *value = *value << 4 | static_cast<uint32_t>(d);
  }
  return true;
}

// What follows a value's data: nothing, or a comment.
void EndOfData(std::string_view rest) {
  rest = TrimLeft(rest);
  if (!rest.empty() && rest.front() != ';') throw Malformed("Text nach den Daten: '", rest.substr(0, 16), "'");
}

// "text" with \\ and \" escapes; `s` starts at the opening quote and is left
// after the closing one.
std::string ParseQuoted(std::string_view& s) {
  std::string out;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (s[i] == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
        throw Malformed("auf einen Backslash in Anführungszeichen muss \\ oder \" folgen");
      ++i;
    }
    out += s[i];
  }
  throw Malformed("Text in Anführungszeichen nicht geschlossen");
}

// One line's share of a hex list ("01,02,..."), appended to `out`. True when
// the line ends in the continuation: a comma, then '\' (or '\' alone at the
// list's start).
bool HexLine(std::string_view s, std::string& out, bool listStart) {
  bool wantByte = true;          // at the start and after each comma
  bool afterComma = listStart;  // a continuation may come now
  size_t i = 0;
  for (;;) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i == s.size() || s[i] == ';') return false;
    if (s[i] == '\\') {
      if (!afterComma) throw Malformed("'\\' ohne Komma davor");
      EndOfData(s.substr(i + 1));
      return true;
    }
    if (wantByte) {
      size_t end = i;
      while (end < s.size() && !IsBlank(s[end]) && s[end] != ',' && s[end] != ';' && s[end] != '\\') ++end;
      const std::string_view token = s.substr(i, end - i);
      uint32_t byte = 0;
      if (!HexNumber(token, 2, &byte)) throw Malformed("ungültiges Hex-Byte '", token.substr(0, 16), "'");
      out += static_cast<char>(byte);
      wantByte = afterComma = false;
      i = end;
    } else if (s[i] == ',') {
      wantByte = afterComma = true;
      ++i;
    } else {
      throw Malformed("Komma erwartet vor '", s.substr(i, 16), "'");
    }
  }
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

class Parser {
 public:
  Parser(const std::vector<std::string_view>& lines, bool unicode, std::vector<RegFileEntry>* entries,
         std::vector<RegFileError>* problems)
      : lines_(lines), unicode_(unicode), entries_(entries), problems_(problems) {}

  // Everything after the header.
  void Run() {
    while (next_ < lines_.size()) {
      const int number = static_cast<int>(++next_);  // 1-based: the line just taken
      const std::string_view line = Trim(lines_[next_ - 1]);
      if (line.empty() || line.front() == ';') continue;
      try {
        if (line.front() == '[') KeyLine(line, number);
        else if (line.front() == '"' || line.front() == '@') ValueLine(line, number);
        else throw Malformed("weder Schlüssel noch Wert");
      } catch (const Failure& failure) {
        problems_->push_back({number, Utf8ToCp1252("Zeile ") + std::to_string(number) + ": " + failure.message});
      }
    }
  }

 private:
  void KeyLine(std::string_view line, int number) {
    haveKey_ = false;  // a failed key line leaves its values without a key
    if (line.back() != ']') throw Malformed("eine Schlüsselzeile muss mit ']' enden");
    std::string_view name = line.substr(1, line.size() - 2);
    const bool remove = !name.empty() && name.front() == '-';
    if (remove) name.remove_prefix(1);
    RegFileEntry entry;
    if (!ResolveKeyPath(name, &entry.hive, &entry.path))
      throw Malformed("ungültiger Schlüsselname '", name, "'");
    if (remove && entry.path.empty()) throw Malformed("ein Hauptschlüssel kann nicht gelöscht werden");
    entry.kind = remove ? RegFileEntry::DeleteKey : RegFileEntry::Key;
    entry.line = number;
    haveKey_ = !remove;
    hive_ = entry.hive;
    path_ = entry.path;
    entries_->push_back(std::move(entry));
  }

  void ValueLine(std::string_view line, int number) {
    RegFileEntry entry{RegFileEntry::Value, hive_, path_, {}, 0, {}, number};
    if (line.front() == '@') line.remove_prefix(1);
    else entry.name = ParseQuoted(line);
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') throw Malformed("'=' fehlt nach dem Wertnamen");
    ReadData(TrimLeft(line.substr(1)), &entry);
    // Checked after the data so that a continued list is taken whole.
    if (!haveKey_) throw Malformed("Wert ohne gültigen Schlüssel davor");
    if (entry.name.size() > kMaxValueNameLength) throw Malformed("Wertname zu lang");
    entries_->push_back(std::move(entry));
  }

  void ReadData(std::string_view value, RegFileEntry* entry) {
    const std::string_view token = Trim(value.substr(0, value.find(';')));
    if (token == "-") {
      entry->kind = RegFileEntry::DeleteValue;
    } else if (!value.empty() && value.front() == '"') {
      entry->type = REG_SZ;
      entry->data = ParseQuoted(value);
      entry->data += '\0';
      EndOfData(value);
    } else if (value.substr(0, 6) == "dword:") {
      uint32_t number = 0;
      const std::string_view digits = Trim(token.substr(6));
      if (!HexNumber(digits, 8, &number)) throw Malformed("ungültiges DWORD '", digits.substr(0, 16), "'");
      entry->type = REG_DWORD;
      entry->data.assign(reinterpret_cast<const char*>(&number), 4);
    } else if (value.substr(0, 4) == "hex:") {
      entry->type = REG_BINARY;
      entry->data = HexData(value.substr(4));
    } else if (value.substr(0, 4) == "hex(") {
      const size_t close = value.find("):");
      if (close == std::string_view::npos) throw Malformed("'hex(' ohne '):'");
      if (!HexNumber(value.substr(4, close - 4), 8, &entry->type))
        throw Malformed("ungültiger Werttyp '", value.substr(4, std::min<size_t>(close - 4, 16)), "'");
      entry->data = HexData(value.substr(close + 2));
      if (unicode_ && IsText(entry->type)) {
        if (entry->data.size() % 2 != 0) throw Malformed("UTF-16-Text mit ungerader Anzahl Bytes");
        entry->data = Utf16LeToCp1252(entry->data);
      }
      // Windows stores these two with their terminating NUL even when the
      // file leaves it out; hex(1) keeps its bytes as they are.
      if ((entry->type == REG_EXPAND_SZ || entry->type == REG_MULTI_SZ) && !entry->data.empty() &&
          entry->data.back() != '\0')
        entry->data += '\0';
    } else {
      throw Malformed("unbekannte Wertform '", value.substr(0, 16), "'");
    }
  }

  // The bytes of a hex list that may go on over the following lines.
  std::string HexData(std::string_view first) {
    std::string out;
    bool more = HexLine(first, out, true);
    while (more) {
      std::string_view line;
      do {
        if (next_ == lines_.size()) return out;
        line = Trim(lines_[next_++]);
      } while (line.empty() || line.front() == ';');
      try {
        more = HexLine(line, out, false);
      } catch (Failure& failure) {
        failure.message += Utf8ToCp1252(" (in Zeile ") + std::to_string(next_) + ")";
        throw;
      }
    }
    return out;
  }

  const std::vector<std::string_view>& lines_;
  size_t next_ = 1;  // the header is line 0
  const bool unicode_;
  std::vector<RegFileEntry>* entries_;
  std::vector<RegFileError>* problems_;
  bool haveKey_ = false;
  HiveId hive_ = HiveId::User;
  std::string path_;
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

bool ParseRegFile(std::string_view bytes, std::vector<RegFileEntry>* entries, std::vector<RegFileError>* problems,
                  RegFileError* error) {
  entries->clear();
  problems->clear();
  try {
    std::string text;
    if (!DecodeFile(bytes, &text, error)) return false;
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty()) {
      *error = FileError("keine Registrierungsdatei: sie ist leer");
      return false;
    }
    const std::string_view header = Trim(lines.front());
    if (header != kUnicodeHeader && header != kAnsiHeader) {
      *error = {1, Utf8ToCp1252("Zeile 1: keine Registrierungsdatei: die erste Zeile muss \"") +
                       std::string(kUnicodeHeader) + "\" oder \"" + std::string(kAnsiHeader) + Utf8ToCp1252("\" lauten")};
      return false;
    }
    Parser(lines, header == kUnicodeHeader, entries, problems).Run();
  } catch (const std::bad_alloc&) {
    entries->clear();
    *error = FileError("nicht genügend Arbeitsspeicher");
    return false;
  }
  return true;
}

}  // namespace xtb::reg
